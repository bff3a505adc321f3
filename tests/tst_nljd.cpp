// NLJD mode: taking the "N" messages, the probing level, the .nljd file byte for byte, the comparison
// verdicts, the drawing of the indicators, and the whole road on the virtual analyser.
#include "modes/nljd/nld.h"
#include "modes/nljd/nldsource.h"
#include "modes/nljd/nljdcompare.h"
#include "modes/nljd/nljdfile.h"
#include "modes/nljd/nljdmessage.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "sim/mode_nljd.h"
#include "windowrigs.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_slider.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

using Payloads = QList<QByteArray>;

namespace
{
const QColor Red2(255, 53, 53);
const QColor Blue3(53, 53, 255);
const QColor Empty(60, 60, 60);
const QColor Alarm(255, 82, 82);
const QColor Good(82, 255, 82);
const QColor Selected(42, 130, 218);
const QColor OddRow(53, 53, 53);
const QColor EvenRow(42, 42, 42);
const QColor Sentinel(255, 0, 255); // never painted by an indicator

QByteArray nMessage(quint8 b1, quint8 h2, quint8 h3, quint8 a, quint8 b, quint8 level)
{
    QByteArray m("N");
    m += char(b1);
    m += char(h2);
    m += char(h3);
    m += char(a);
    m += char(b);
    m += char(level);
    return m;
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b += char(v);
    return b;
}

const QByteArray NljdMagic = bytes({0x0C, 0, 0, 0, '8', 0, '4', 0, '7', 0, 'N', 0, 'L', 0, 'D', 0});

// An indicator's data, without a window.
class TestSource : public NldSource
{
public:
    PairStore pairs;
    quint8 current = 0;
    bool marks = false;
    quint8 mark2 = 0, mark3 = 0;

    const PairRecord& record(int pair) const override { return pairs[pair]; }
    quint8 currentPair() const override { return current; }
    bool fileMarks(int, quint8& h2, quint8& h3) const override
    {
        h2 = mark2;
        h3 = mark3;
        return marks;
    }
};

// What the indicator paints over a sentinel colour.
QImage paint(NLD& w, const QSize& size)
{
    w.resize(size);
    QImage img(size, QImage::Format_RGB32);
    img.fill(Sentinel);
    w.render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

bool hasColour(const QImage& img, const QColor& c, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}

PairRecord& measured(PairStore& store, int pair, quint8 level, quint8 h2, quint8 h3)
{
    PairRecord& r = store[pair];
    r.dataFlags |= DataFlag::nljdValid;
    r.nljd = {level, h2, h3};
    return r;
}

// The window on a fake analyser that has answered the connect request.
struct Rig : FakePortWindowRig {
    QTemporaryDir dir;

    Rig()
    {
        connectAnalyser();
        ui()->tabWidget->setCurrentIndex(2);
        log.clear();
    }
    PairStore& store() const { return w->pairStore(); }
    QString path(const QString& name) const { return dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& content) const
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    // Loads through the comparison switch, which asks for the file when none is loaded.
    void compareWith(const QString& name)
    {
        prompts.fileNames.enqueue(path(name));
        ui()->nldComp->click();
    }
    void select(int pair) { w->swClick(pair, 1); }
    void receive(const QByteArray& payload) { port->pushPayload(payload); }
    QColor nameColour(int pair) const { return ui()->swTAB->item(pair, 0)->foreground().color(); }
};

// A file whose pair 1 was measured at level 2 with 100/50 and all others had no data.
QByteArray referenceFile()
{
    PairStore s;
    measured(s, 1, 2, 100, 50);
    return NljdFile::encode(s, "ref");
}
} // namespace

class TestNljd : public QObject
{
    Q_OBJECT
private slots:
    // "N" messages and the probing level.
    void takingMessages_data();
    void takingMessages();
    void messageForOtherWiresIsDropped();
    void sliderSendsLevelAndStoresIt_data();
    void sliderSendsLevelAndStoresIt();
    void messageOnlyOnNljdTabWithPair();

    // The .nljd file.
    void savesByteExact();
    void emptyCommentAndPanelFlow();
    void loadsSavedBytesBack();
    void refusesOtherMagic_data();
    void refusesOtherMagic();
    void shortFileLoadsZeros();
    void garbageNeverReadsOutOfBounds();
    void secondLoadReplacesEverything();
    void failingOpenKeepsPanelAndShowsError();
    void failingWriteKeepsOldFile();

    // Comparison.
    void verdictTable_data();
    void verdictTable();
    void verdictsInTheWindow_data();
    void verdictsInTheWindow();
    void notComparedKeepsColourStoresZero();
    void comparisonWaitsForTheFile();
    void compareOnOtherTabDoesNothing();
    void switchWithoutFileFallsBack();
    void switchOffClearsAndRestoresStyle();

    // Drawing.
    void largeDisplayBarsAndFrame();
    void largeDisplayOverVoltage();
    void largeDisplayFileMarks_data();
    void largeDisplayFileMarks();
    void indicatorHarmonics();
    void indicatorBackgrounds_data();
    void indicatorBackgrounds();
    void reflIndicator_data();
    void reflIndicator();
    void tableIndicatorsFindTheWindowsData();

    // Virtual analyser.
    void simulatorReadings();
    void endToEnd();
};

// --- "N" messages and the probing level ---

void TestNljd::takingMessages_data()
{
    QTest::addColumn<quint8>("storedH2");
    QTest::addColumn<quint8>("storedH3");
    QTest::addColumn<Payloads>("messages");
    QTest::addColumn<quint8>("h2");
    QTest::addColumn<quint8>("h3");
    QTest::addColumn<quint8>("level");

    const auto n = [](quint8 h2, quint8 h3, quint8 level = 2) { return nMessage(0, h2, h3, 1, 2, level); };
    QTest::newRow("0 then 100 gives 100, again 100")
        << quint8(0) << quint8(0) << Payloads{n(100, 40), n(100, 40)} << quint8(100) << quint8(40)
        << quint8(2);
    QTest::newRow("200 then 100 gives 175")
        << quint8(200) << quint8(80) << Payloads{n(100, 40)} << quint8(175) << quint8(70) << quint8(2);
    QTest::newRow("integer shift truncates")
        << quint8(1) << quint8(1) << Payloads{n(0, 0)} << quint8(0) << quint8(0) << quint8(2);
    QTest::newRow("250 still smoothed")
        << quint8(250) << quint8(0) << Payloads{n(0, 0)} << quint8(187) << quint8(0) << quint8(2);
    QTest::newRow("255 taken raw") << quint8(255) << quint8(30) << Payloads{n(100, 40, 4)} << quint8(100)
                                   << quint8(40) << quint8(4);
    QTest::newRow("251 taken raw") << quint8(251) << quint8(30) << Payloads{n(10, 20)} << quint8(10)
                                   << quint8(20) << quint8(2);
    QTest::newRow("0xFF sets 255, keeps harm3")
        << quint8(120) << quint8(60) << Payloads{nMessage(0xFF, 7, 9, 1, 2, 3)} << quint8(255) << quint8(60)
        << quint8(3);
    QTest::newRow("after 0xFF the next reading is raw")
        << quint8(120) << quint8(60) << Payloads{nMessage(0xFF, 0, 0, 1, 2, 2), n(40, 20)} << quint8(40)
        << quint8(20) << quint8(2);
    QTest::newRow("short message: missing level reads 0")
        << quint8(0) << quint8(0) << Payloads{nMessage(0, 90, 30, 1, 2, 0).left(6)} << quint8(90)
        << quint8(30) << quint8(0);
}

void TestNljd::takingMessages()
{
    QFETCH(quint8, storedH2);
    QFETCH(quint8, storedH3);
    QFETCH(Payloads, messages);
    PairStore store;
    PairRecord& r = store[1];
    r.nljd.harm2 = storedH2;
    r.nljd.harm3 = storedH3;
    for (const QByteArray& m : messages)
        QVERIFY(Nljd::takeMessage(r, m));
    QVERIFY(r.dataFlags & DataFlag::nljdValid);
    QTEST(r.nljd.harm2, "h2");
    QTEST(r.nljd.harm3, "h3");
    QTEST(r.nljd.level, "level");
}

void TestNljd::messageForOtherWiresIsDropped()
{
    PairStore store;
    PairRecord& r = store[2]; // wires 1 and 3
    r.nljd = {1, 50, 60};
    QVERIFY(!Nljd::takeMessage(r, nMessage(0, 100, 100, 1, 2, 4)));
    QVERIFY(!Nljd::takeMessage(r, nMessage(0, 100, 100, 3, 1, 4)));
    QCOMPARE(r.dataFlags, quint8(0));
    QCOMPARE(r.nljd.harm2, quint8(50));
    QCOMPARE(r.nljd.level, quint8(1));
}

void TestNljd::sliderSendsLevelAndStoresIt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pair");
    QTest::addColumn<quint8>("level");
    QTest::newRow("100 on pair 5") << 100.0 << 5 << quint8(4);
    QTest::newRow("20 on pair 5") << 20.0 << 5 << quint8(0);
    QTest::newRow("80 without a pair goes to slot 0") << 80.0 << 0 << quint8(3);
}

void TestNljd::sliderSendsLevelAndStoresIt()
{
    QFETCH(double, value);
    QFETCH(int, pair);
    QFETCH(quint8, level);
    Rig r;
    r.select(pair);
    r.log.clear();
    r.ui()->slNLD->setValue(value);
    QCOMPARE(r.log, Payloads{QByteArray("N\x01", 2) + char(level)});
    QCOMPARE(r.store()[pair].nljd.level, level);
}

void TestNljd::messageOnlyOnNljdTabWithPair()
{
    Rig r;
    const PairWires p5 = pairWires(5);
    // No pair selected: the wires match record 0, so only the routing can drop the message.
    QCOMPARE(int(r.w->currentPair()), 0);
    const PairRecord none = r.store()[0];
    QCOMPARE(int(none.wireA), 0);
    QCOMPARE(int(none.wireB), 0);
    r.receive(nMessage(0, 80, 40, 0, 0, 4));
    QCOMPARE(r.store()[0].dataFlags, none.dataFlags);
    QCOMPARE(r.store()[0].nljd.level, none.nljd.level);
    QCOMPARE(r.store()[0].nljd.harm2, none.nljd.harm2);
    QCOMPARE(r.store()[0].nljd.harm3, none.nljd.harm3);
    r.select(5);
    r.receive(nMessage(0, 80, 40, p5.a, p5.b, 2));
    QCOMPARE(r.store()[5].nljd.harm2, quint8(80));
    QVERIFY(r.store()[5].dataFlags & DataFlag::nljdValid);

    r.ui()->tabWidget->setCurrentIndex(3); // deselects; the REFL tab drops "N" anyway
    r.select(5);
    r.receive(nMessage(0, 0, 0, p5.a, p5.b, 4));
    QCOMPARE(r.store()[5].nljd.harm2, quint8(80));
    QCOMPARE(r.store()[5].nljd.level, quint8(2));
}

// --- The .nljd file ---

void TestNljd::savesByteExact()
{
    PairStore s;
    s[1].excluded = 1;
    s[1].nljd = {3, 100, 50}; // excluded, stored bytes kept
    measured(s, 2, 2, 200, 150);
    s[3].nljd = {1, 7, 9}; // no reading, stored bytes kept
    measured(s, 4, 4, 10, 10).excluded = 1;
    measured(s, 5, 0, 255, 12);

    QByteArray expected = NljdMagic;
    expected += bytes({0xFF, 3, 100, 50});
    expected += bytes({0x01, 2, 200, 150});
    expected += bytes({0xFE, 1, 7, 9});
    expected += bytes({0xFF, 4, 10, 10});
    expected += bytes({0x01, 0, 255, 12});
    for (int p = 6; p <= 36; ++p)
        expected += bytes({0xFE, 0, 0, 0});
    expected += bytes({4, 0, 0, 0, 'o', 0, 'k', 0});
    QCOMPARE(NljdFile::encode(s, "ok").toHex(' '), expected.toHex(' '));
}

void TestNljd::emptyCommentAndPanelFlow()
{
    Rig r;
    r.ui()->nldSave->click();
    QVERIFY(r.ui()->nldFILE->isVisibleTo(r.w.get()));
    r.ui()->nldTXT->setText("typed");
    r.ui()->nldCancel->click();
    QVERIFY(!r.ui()->nldFILE->isVisibleTo(r.w.get()));
    QVERIFY(!r.ui()->nldSave->isChecked());
    QVERIFY(r.ui()->nldTXT->text().isEmpty());

    // Cancelling the dialog writes nothing and keeps the panel.
    r.ui()->nldSave->click();
    r.ui()->nldSave2->click();
    QCOMPARE(r.prompts.count("save"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Save File"));
    QCOMPARE(r.prompts.asked.last().text, QString("KV847 NLJD data (*.nljd)"));
    QVERIFY(r.ui()->nldSave->isChecked());

    r.prompts.fileNames.enqueue(r.path("empty.nljd"));
    r.ui()->nldSave2->click();
    QFile f(r.path("empty.nljd"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    QCOMPARE(content.size(), 16 + 144 + 4);
    QCOMPARE(content.right(4), bytes({0, 0, 0, 0}));
    QVERIFY(!r.ui()->nldSave->isChecked());
    QVERIFY(!r.ui()->nldFILE->isVisibleTo(r.w.get()));
    QCOMPARE(r.prompts.count("critical"), 0);
}

void TestNljd::loadsSavedBytesBack()
{
    Rig r;
    measured(r.store(), 7, 3, 120, 80);
    measured(r.store(), 8, 1, 255, 33);
    r.store()[9].nljd = {2, 5, 6};
    r.ui()->nldSave->click();
    r.ui()->nldTXT->setText("line 4");
    r.prompts.fileNames.enqueue(r.path("saved.nljd"));
    r.ui()->nldSave2->click();

    // Pairs 7..9 are enabled in the window, so the rest of the file is "no data".
    r.prompts.fileNames.enqueue(r.path("saved.nljd"));
    r.ui()->nldLoad->click();
    QVERIFY(r.w->nljdFileLoaded());
    const NljdFileData& f = r.w->nljdFile();
    QCOMPARE(f.fileLevel[7], quint8(3));
    QCOMPARE(f.fileHarm2[7], quint8(120));
    QCOMPARE(f.fileHarm3[7], quint8(80));
    QCOMPARE(f.fileHarm2[8], quint8(255));
    QCOMPARE(f.fileLevel[9], NljdFile::NoData);
    QCOMPARE(f.fileHarm2[9], quint8(5));
    QCOMPARE(r.ui()->nldINFO->toPlainText(), QString("Current file: saved.nljd\nline 4"));
    QCOMPARE(r.prompts.asked.last().title, QString("Open File"));

    // Excluded pairs come back as 255, which keeps them out of the comparison.
    PairStore s;
    s[4].excluded = 1;
    s[4].nljd = {2, 9, 9};
    QBuffer in;
    in.setData(NljdFile::encode(s, QString()));
    in.open(QIODevice::ReadOnly);
    NljdFileData d;
    QString comment = "old";
    QVERIFY(NljdFile::read(in, d, comment) == NljdFile::ReadResult::Ok);
    QCOMPARE(d.fileLevel[4], NljdFile::Excluded);
    QCOMPARE(d.fileHarm2[4], quint8(9));
    QVERIFY(comment.isEmpty());
}

void TestNljd::refusesOtherMagic_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray refl = bytes({0x0C, 0, 0, 0, '8', 0, '4', 0, '7', 0, 'R', 0, 'E', 0, 'F', 0});
    QTest::newRow("847REF") << refl + referenceFile().mid(16);
    QByteArray lower = referenceFile();
    lower[14] = 'd';
    QTest::newRow("847NLd") << lower;
    QTest::newRow("magic cut short") << NljdMagic.left(9);
    QTest::newRow("empty file") << QByteArray();
}

void TestNljd::refusesOtherMagic()
{
    QFETCH(QByteArray, content);
    Rig r;
    r.writeFile("good.nljd", referenceFile());
    r.prompts.fileNames.enqueue(r.path("good.nljd"));
    r.ui()->nldLoad->click();
    const NljdFileData before = r.w->nljdFile();
    const QString info = r.ui()->nldINFO->toPlainText();

    r.writeFile("other.nljd", content);
    r.prompts.fileNames.enqueue(r.path("other.nljd"));
    r.ui()->nldLoad->click();
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Error"));
    QCOMPARE(r.prompts.asked.last().text, QString("This is not a NLJD data file for KV847!"));
    QCOMPARE(r.w->nljdFile().fileLevel, before.fileLevel);
    QCOMPARE(r.w->nljdFile().fileHarm2, before.fileHarm2);
    QCOMPARE(r.ui()->nldINFO->toPlainText(), info);

    // Refused on a fresh window, nothing counts as loaded.
    Rig fresh;
    fresh.writeFile("other.nljd", content);
    fresh.prompts.fileNames.enqueue(fresh.path("other.nljd"));
    fresh.ui()->nldLoad->click();
    QVERIFY(!fresh.w->nljdFileLoaded());
}

void TestNljd::shortFileLoadsZeros()
{
    // Two whole records and half of the third.
    const QByteArray content = NljdMagic + bytes({0x01, 3, 90, 45, 0xFF, 2, 8, 8, 0x01, 4});
    QBuffer in;
    in.setData(content);
    in.open(QIODevice::ReadOnly);
    NljdFileData d;
    d.fileHarm2.fill(77);
    QString comment = "old";
    QVERIFY(NljdFile::read(in, d, comment) == NljdFile::ReadResult::Ok);
    QCOMPARE(d.fileLevel[1], quint8(3));
    QCOMPARE(d.fileHarm2[1], quint8(90));
    QCOMPARE(d.fileLevel[2], NljdFile::Excluded);
    QCOMPARE(d.fileLevel[3], quint8(4));
    QCOMPARE(d.fileHarm2[3], quint8(0));
    QCOMPARE(d.fileHarm3[3], quint8(0));
    for (int p = 4; p <= 36; ++p) {
        QCOMPARE(d.fileLevel[p], quint8(0));
        QCOMPARE(d.fileHarm2[p], quint8(0));
    }
    QVERIFY(comment.isEmpty());
}

void TestNljd::garbageNeverReadsOutOfBounds()
{
    // Right magic and records, then a comment that claims far more than the file holds, or an odd
    // byte count: the records stand, the comment is empty.
    QByteArray huge = referenceFile();
    huge.chop(4 + 6);
    huge += bytes({0xF0, 0xFF, 0xFF, 0x7F, 'x', 0});
    QByteArray odd = referenceFile();
    odd[16 + 144] = 5;
    for (const QByteArray& content : {huge, odd}) {
        QBuffer in;
        in.setData(content);
        in.open(QIODevice::ReadOnly);
        NljdFileData d;
        QString comment = "old";
        QVERIFY(NljdFile::read(in, d, comment) == NljdFile::ReadResult::Ok);
        QCOMPARE(d.fileLevel[1], quint8(2));
        QCOMPARE(d.fileHarm2[1], quint8(100));
        QCOMPARE(d.fileLevel[36], NljdFile::NoData);
        QVERIFY(comment.isEmpty());
    }

    // Noise, with and without the magic in front: refused unless the magic is there, never a crash.
    for (quint32 seed = 1; seed <= 50; ++seed) {
        QByteArray noise;
        quint32 x = seed;
        for (int i = 0; i < int(seed * 7 % 300); ++i) {
            x = x * 1103515245u + 12345u;
            noise += char(x >> 16);
        }
        for (const QByteArray& content : {noise, NljdMagic + noise}) {
            QBuffer in;
            in.setData(content);
            in.open(QIODevice::ReadOnly);
            NljdFileData d;
            QString comment;
            const NljdFile::ReadResult result = NljdFile::read(in, d, comment);
            QCOMPARE(result == NljdFile::ReadResult::Ok, content.startsWith(NljdMagic));
            QVERIFY(comment.size() * 2 <= content.size());
        }
    }
}

void TestNljd::secondLoadReplacesEverything()
{
    Rig r;
    r.writeFile("one.nljd", referenceFile());
    PairStore s;
    measured(s, 36, 1, 30, 20);
    r.writeFile("two.nljd", NljdFile::encode(s, "second"));
    r.prompts.fileNames.enqueue(r.path("one.nljd"));
    r.ui()->nldLoad->click();
    r.prompts.fileNames.enqueue(r.path("two.nljd"));
    r.ui()->nldLoad->click();
    const NljdFileData& f = r.w->nljdFile();
    QCOMPARE(f.fileLevel[1], NljdFile::NoData);
    QCOMPARE(f.fileLevel[36], quint8(1));
    QCOMPARE(f.fileHarm2[36], quint8(30));
    QCOMPARE(r.ui()->nldINFO->toPlainText(), QString("Current file: two.nljd\nsecond"));
}

void TestNljd::failingOpenKeepsPanelAndShowsError()
{
    Rig r;
    r.ui()->nldSave->click();
    r.ui()->nldTXT->setText("kept");
    r.prompts.fileNames.enqueue(r.path("no/such/dir/x.nljd"));
    r.ui()->nldSave2->click();
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Error"));
    QCOMPARE(r.prompts.asked.last().text, QString("Could not open file"));
    QVERIFY(r.ui()->nldFILE->isVisibleTo(r.w.get()));
    QCOMPARE(r.ui()->nldTXT->text(), QString("kept"));
    QVERIFY(!QFile::exists(r.path("no/such/dir/x.nljd")));

    // Loading a file that is not there.
    r.prompts.fileNames.enqueue(r.path("missing.nljd"));
    r.ui()->nldLoad->click();
    QCOMPARE(r.prompts.asked.last().text, QString("Could not open file"));
    QVERIFY(!r.w->nljdFileLoaded());
}

void TestNljd::failingWriteKeepsOldFile()
{
    Rig r;
    r.writeFile("old.nljd", "OLD");
    r.ui()->nldSave->click();
    r.ui()->nldTXT->setText("kept");
    r.prompts.fileNames.enqueue(r.path("old.nljd"));

    // A file size limit makes the write fail, for root too.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    r.ui()->nldSave2->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Error"));
    QCOMPARE(r.prompts.asked.last().text, QString("Could not save file"));
    QFile f(r.path("old.nljd"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("OLD"));
    QVERIFY(r.ui()->nldFILE->isVisibleTo(r.w.get()));
    QCOMPARE(r.ui()->nldTXT->text(), QString("kept"));
    // No temporary file is left beside it.
    QCOMPARE(QDir(r.dir.path()).entryList(QDir::Files), QStringList{"old.nljd"});
}

// --- Comparison ---

void TestNljd::verdictTable_data()
{
    QTest::addColumn<int>("fl");
    QTest::addColumn<int>("f2");
    QTest::addColumn<int>("f3");
    QTest::addColumn<bool>("hc");
    QTest::addColumn<int>("cl");
    QTest::addColumn<int>("c2");
    QTest::addColumn<int>("c3");
    QTest::addColumn<bool>("decided");
    QTest::addColumn<int>("verdict");

    const auto row = [](const char* name, int fl, int f2, int f3, bool hc, int cl, int c2, int c3,
                        bool decided, int verdict) {
        QTest::newRow(name) << fl << f2 << f3 << hc << cl << c2 << c3 << decided << verdict;
    };
    row("1 excluded in file, measured now", 255, 100, 50, true, 2, 10, 10, false, 0);
    row("1 excluded in file, nothing now", 255, 100, 50, false, 2, 0, 0, false, 0);
    row("2 no data in file", 254, 0, 0, true, 2, 100, 50, true, 1);
    row("3 no current data", 2, 100, 50, false, 2, 100, 50, true, 2);
    row("3 no current data, level 249", 249, 100, 50, false, 2, 100, 50, true, 2);
    row("4 neither has data", 254, 0, 0, false, 2, 0, 0, false, 0);
    row("4 level 251", 251, 100, 50, true, 2, 100, 50, false, 0);
    row("4 level 253", 253, 100, 50, true, 2, 100, 50, false, 0);
    row("level 250 is compared", 250, 100, 50, true, 2, 100, 50, true, 3);
    row("5 file over 3 V, current 120", 2, 255, 0, true, 2, 120, 50, true, 10);
    row("5 file over 3 V, current 249", 2, 255, 0, true, 2, 249, 50, true, 10);
    row("6 both over 3 V", 2, 255, 0, true, 2, 255, 0, false, 0);
    row("6 file over 3 V, current 250", 2, 255, 0, true, 2, 250, 0, false, 0);
    row("7 file 250, current over 3 V", 2, 250, 0, true, 2, 255, 0, false, 0);
    row("7 file 254, current over 3 V", 2, 254, 0, true, 2, 255, 0, false, 0);
    row("8 current over 3 V", 2, 249, 0, true, 2, 255, 0, true, 11);
    row("9 levels 2 and 3", 2, 100, 50, true, 3, 100, 50, true, 3);
    row("9 level wins over harmonics", 2, 100, 50, true, 3, 200, 200, true, 3);
    row("10 both harmonics", 2, 100, 50, true, 2, 109, 59, true, 9);
    row("11 second harmonic 109/58", 2, 100, 50, true, 2, 109, 58, true, 4);
    row("11 second harmonic lower", 2, 100, 50, true, 2, 91, 50, true, 4);
    row("12 third harmonic", 2, 100, 50, true, 2, 108, 59, true, 5);
    row("12 third harmonic lower", 2, 100, 50, true, 2, 100, 41, true, 5);
    row("13 differences of 8 agree", 2, 100, 50, true, 2, 108, 58, true, 0);
    row("13 differences of -8 agree", 2, 100, 50, true, 2, 92, 42, true, 0);
}

void TestNljd::verdictTable()
{
    QFETCH(int, fl);
    QFETCH(int, f2);
    QFETCH(int, f3);
    QFETCH(bool, hc);
    QFETCH(int, cl);
    QFETCH(int, c2);
    QFETCH(int, c3);
    NljdCompare::Inputs in;
    in.fileLevel = quint8(fl);
    in.fileHarm2 = quint8(f2);
    in.fileHarm3 = quint8(f3);
    in.current = hc;
    in.level = quint8(cl);
    in.harm2 = quint8(c2);
    in.harm3 = quint8(c3);
    const NljdCompare::Verdict v = NljdCompare::decide(in);
    QTEST(v.decided, "decided");
    QTEST(int(v.code), "verdict");
}

void TestNljd::verdictsInTheWindow_data()
{
    QTest::addColumn<int>("fl");
    QTest::addColumn<int>("f2");
    QTest::addColumn<bool>("hc");
    QTest::addColumn<int>("cl");
    QTest::addColumn<int>("c2");
    QTest::addColumn<int>("c3");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marker");

    QTest::newRow("no file data") << 254 << 0 << true << 2 << 100 << 50 << 1
                                  << "No data in the file for this pair!" << false;
    QTest::newRow("no new data") << 2 << 100 << false << 2 << 0 << 0 << 2
                                 << "No new measurements for this pair!" << false;
    QTest::newRow("level 2 vs 3") << 2 << 100 << true << 3 << 100 << 50 << 3
                                  << "Different levels of the probing signal (in the file - 60%)" << true;
    QTest::newRow("second") << 2 << 100 << true << 2 << 109 << 58 << 4
                            << "Different levels of second harmonics!" << false;
    QTest::newRow("third") << 2 << 100 << true << 2 << 100 << 59 << 5
                           << "Different levels of third harmonics!" << false;
    QTest::newRow("both") << 2 << 100 << true << 2 << 0 << 0 << 9
                          << "Different levels of second and third harmonics!" << false;
    QTest::newRow("file over 3 V") << 2 << 255 << true << 2 << 120 << 50 << 10
                                   << "In the file - more than 3v. In the current data - no." << false;
    QTest::newRow("current over 3 V") << 2 << 100 << true << 2 << 255 << 50 << 11
                                      << "In the current data - more than 3v. In the file - no." << false;
    QTest::newRow("agreement") << 2 << 100 << true << 2 << 108 << 58 << 0 << "" << false;
    QTest::newRow("level 4 vs 2") << 4 << 100 << true << 2 << 100 << 50 << 3
                                  << "Different levels of the probing signal (in the file - 100%)" << true;
}

void TestNljd::verdictsInTheWindow()
{
    QFETCH(int, fl);
    QFETCH(int, f2);
    QFETCH(bool, hc);
    QFETCH(int, cl);
    QFETCH(int, c2);
    QFETCH(int, c3);
    QFETCH(int, verdict);
    QFETCH(bool, marker);
    Rig r;
    PairStore s;
    s[6].nljd = {quint8(fl), quint8(f2), 50};
    if (fl <= 250)
        s[6].dataFlags = DataFlag::nljdValid;
    r.writeFile("f.nljd", NljdFile::encode(s, QString()));
    r.compareWith("f.nljd");
    QVERIFY(r.ui()->nldComp->isChecked());
    QCOMPARE(r.ui()->nldComp->styleSheet(), QString("color: rgb(255,85,85);"));

    PairRecord& cur = r.store()[6];
    cur.dataFlags = hc ? DataFlag::nljdValid : 0;
    cur.nljd = {quint8(cl), quint8(c2), quint8(c3)};
    r.select(6);
    QCOMPARE(int(r.w->nljdVerdict(6)), verdict);
    QTEST(r.ui()->nldERR->toPlainText(), "text");
    // The pair's next message gives the same verdict: the box is left as it is, not written again.
    const int revision = r.ui()->nldERR->document()->revision();
    r.w->compareNLD(6);
    QCOMPARE(r.ui()->nldERR->document()->revision(), revision);
    QTEST(r.ui()->nldERR->toPlainText(), "text");
    QCOMPARE(r.nameColour(6), verdict ? QColor(255, 85, 85) : QColor(0xFFFFFF));
    QCOMPARE(r.ui()->nldLEVsr->isVisibleTo(r.w.get()), marker);
    if (marker) {
        const QRect s = r.ui()->slNLD->geometry();
        // File level 4 gives an offset of 0, which is raised to 2.
        const int o = fl == 4 ? 2 : (4 - fl) * ((s.bottom() - s.top()) - 27) / 4;
        QCOMPARE(r.ui()->nldLEVsr->geometry(),
                 QRect(QPoint(s.left() + 45, s.top() + o), QPoint(s.left() + 59, s.top() + o + 27)));
    }
}

void TestNljd::notComparedKeepsColourStoresZero()
{
    Rig r;
    PairStore s;
    measured(s, 3, 2, 250, 0);
    r.writeFile("f.nljd", NljdFile::encode(s, QString()));
    measured(r.store(), 3, 1, 100, 0);
    r.compareWith("f.nljd");
    r.select(3);
    QCOMPARE(int(r.w->nljdVerdict(3)), 3);
    QCOMPARE(r.nameColour(3), QColor(255, 85, 85));
    QVERIFY(!r.ui()->nldERR->toPlainText().isEmpty());
    QVERIFY(!r.ui()->nldLEVsr->isHidden());

    // The file at the top of the scale, over 3 V now: not compared, the red stays, the verdict, the
    // message and the level marker are cleared.
    r.store()[3].nljd.harm2 = 255;
    r.w->compareNLD(3);
    QCOMPARE(int(r.w->nljdVerdict(3)), 0);
    QCOMPARE(r.nameColour(3), QColor(255, 85, 85));
    QVERIFY(r.ui()->nldERR->toPlainText().isEmpty());
    QVERIFY(r.ui()->nldLEVsr->isHidden());
}

void TestNljd::comparisonWaitsForTheFile()
{
    Rig r;
    r.select(3);
    const PairWires w = pairWires(3);
    // A reading that arrives while the load dialog is up, which is then cancelled.
    r.prompts.whileOpenDialog = [&] { r.receive(nMessage(0, 120, 40, w.a, w.b, 2)); };
    r.ui()->nldComp->click();
    QCOMPARE(r.prompts.count("open"), 1);
    QVERIFY(r.store()[3].dataFlags & DataFlag::nljdValid);
    QVERIFY(!r.ui()->nldComp->isChecked());
    QCOMPARE(int(r.w->nljdVerdict(3)), 0);
    QCOMPARE(r.nameColour(3), QColor(0xFFFFFF));
    QVERIFY(r.ui()->nldERR->toPlainText().isEmpty());
    QVERIFY(r.ui()->nldLEVsr->isHidden());
}

void TestNljd::compareOnOtherTabDoesNothing()
{
    Rig r;
    r.writeFile("f.nljd", referenceFile());
    r.compareWith("f.nljd");
    r.select(1);
    QCOMPARE(int(r.w->nljdVerdict(1)), 2); // nothing measured yet

    measured(r.store(), 1, 3, 100, 50);
    r.ui()->tabWidget->setCurrentIndex(0);
    // The tab switch deselected the pair; selected again, a comparison would rewrite nldERR.
    r.select(1);
    QCOMPARE(int(r.w->currentPair()), 1);
    r.ui()->nldERR->setPlainText("untouched");
    r.w->compareNLD(1);
    r.w->compareNLD(0);
    QCOMPARE(int(r.w->nljdVerdict(1)), 2);
    QCOMPARE(r.ui()->nldERR->toPlainText(), QString("untouched"));
}

void TestNljd::switchWithoutFileFallsBack()
{
    Rig r;
    r.ui()->nldComp->click(); // the load dialog is cancelled
    QCOMPARE(r.prompts.count("open"), 1);
    QVERIFY(!r.ui()->nldComp->isChecked());
    QCOMPARE(r.ui()->nldComp->styleSheet(), QString("color: rgb(140,210,255);"));
    QVERIFY(r.ui()->swSET->isEnabled());

    r.writeFile("bad.nljd", "not a file");
    r.prompts.fileNames.enqueue(r.path("bad.nljd"));
    r.ui()->nldComp->click();
    QVERIFY(!r.ui()->nldComp->isChecked());
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.count("open"), 2);
}

void TestNljd::switchOffClearsAndRestoresStyle()
{
    Rig r;
    r.writeFile("f.nljd", referenceFile());
    r.compareWith("f.nljd");
    QVERIFY(!r.ui()->swSET->isEnabled());
    QVERIFY(!r.ui()->butClear->isEnabled());
    // Pairs saved as excluded cannot be chosen while comparing; the others can.
    r.select(1);
    QCOMPARE(r.w->currentPair(), quint8(1));
    QCOMPARE(r.ui()->nldERR->toPlainText(), QString("No new measurements for this pair!"));

    r.ui()->nldComp->click();
    QVERIFY(!r.ui()->nldComp->isChecked());
    QCOMPARE(r.ui()->nldComp->styleSheet(), QString("color: rgb(140,210,255);"));
    QVERIFY(r.ui()->nldERR->toPlainText().isEmpty());
    QVERIFY(r.ui()->swSET->isEnabled());
    QVERIFY(r.w->nljdFileLoaded());

    // The file stays loaded: on again without a dialog.
    r.ui()->nldComp->click();
    QVERIFY(r.ui()->nldComp->isChecked());
    QCOMPARE(r.prompts.count("open"), 1);
}

// --- Drawing ---

void TestNljd::largeDisplayBarsAndFrame()
{
    TestSource src;
    src.current = 4;
    measured(src.pairs, 4, 2, 125, 250);
    NLD w(nullptr, NLD::LargeDisplay);
    w.setSource(&src);
    const QImage img = paint(w, QSize(160, 474)); // W 159, H 473: h 464, bar width 73, third from 81

    QCOMPARE(img.pixelColor(0, 100), QColor(172, 172, 172));
    QCOMPARE(img.pixelColor(158, 100), QColor(172, 172, 172));
    QCOMPARE(img.pixelColor(159, 100), Sentinel);
    QCOMPARE(img.pixelColor(80, 472), QColor(172, 172, 172));
    QCOMPARE(img.pixelColor(80, 473), Sentinel);

    // Second harmonic 125 of 250: the lower 232 of 464 rows.
    QCOMPARE(img.pixelColor(5, 237), Red2);
    QCOMPARE(img.pixelColor(77, 468), Red2);
    QCOMPARE(img.pixelColor(77, 236), Empty);
    QCOMPARE(img.pixelColor(5, 5), Empty);
    QCOMPARE(img.pixelColor(78, 300), Sentinel);
    QCOMPARE(img.pixelColor(5, 469), Sentinel);
    // Third harmonic at full scale.
    QCOMPARE(img.pixelColor(81, 5), Blue3);
    QCOMPARE(img.pixelColor(153, 468), Blue3);
    QCOMPARE(img.pixelColor(80, 300), Sentinel);
    QCOMPARE(img.pixelColor(154, 300), Sentinel);
    QVERIFY(!hasColour(img, Alarm, img.rect()));
}

void TestNljd::largeDisplayOverVoltage()
{
    TestSource src;
    src.current = 4;
    measured(src.pairs, 4, 2, 255, 120);
    src.marks = true;
    NLD w(nullptr, NLD::LargeDisplay);
    w.setSource(&src);
    const QImage img = paint(w, QSize(160, 474));
    QCOMPARE(img.pixelColor(5, 5), Empty);
    QCOMPARE(img.pixelColor(155, 468), Empty);
    QCOMPARE(img.pixelColor(80, 300), Empty);
    QVERIFY(hasColour(img, Alarm, QRect(QPoint(0, 10), QPoint(159, 49))));
    QVERIFY(!hasColour(img, Alarm, QRect(QPoint(0, 50), QPoint(159, 473))));
    QVERIFY(!hasColour(img, Red2, img.rect()));
    QVERIFY(!hasColour(img, Blue3, img.rect()));
    QVERIFY(!hasColour(img, QColor(255, 150, 150), img.rect()));
}

void TestNljd::largeDisplayFileMarks_data()
{
    QTest::addColumn<int>("mark");
    QTest::addColumn<int>("lineY");
    // h = 464, H = 473.
    QTest::newRow("0 is raised to 3") << 0 << 466;
    QTest::newRow("125 in the middle") << 125 << 237;
    QTest::newRow("250 is held below the top") << 250 << 7;
    QTest::newRow("255 too") << 255 << 7;
}

void TestNljd::largeDisplayFileMarks()
{
    QFETCH(int, mark);
    QFETCH(int, lineY);
    TestSource src;
    src.current = 4;
    measured(src.pairs, 4, 2, 0, 0);
    src.marks = true;
    src.mark2 = quint8(mark);
    src.mark3 = quint8(mark);
    NLD w(nullptr, NLD::LargeDisplay);
    w.setSource(&src);
    const QImage img = paint(w, QSize(160, 474));
    for (int dy = -2; dy <= 2; ++dy) {
        QCOMPARE(img.pixelColor(40, lineY + dy), QColor(255, 150, 150));
        QCOMPARE(img.pixelColor(120, lineY + dy), QColor(150, 150, 255));
    }
    QVERIFY(img.pixelColor(40, lineY + 3) != QColor(255, 150, 150));
    QVERIFY(img.pixelColor(40, lineY - 3) != QColor(255, 150, 150));

    src.marks = false;
    const QImage none = paint(w, QSize(160, 474));
    QVERIFY(!hasColour(none, QColor(255, 150, 150), none.rect()));
}

void TestNljd::indicatorHarmonics()
{
    TestSource src;
    measured(src.pairs, 2, 2, 125, 250);
    NLD w(nullptr, 2);
    w.setSource(&src);
    // 213 x 17: W 212, bars 208 long, rows 2..6 and 10..14.
    QImage img = paint(w, QSize(213, 17));
    QCOMPARE(img.pixelColor(2, 2), Red2);
    QCOMPARE(img.pixelColor(105, 6), Red2);
    QCOMPARE(img.pixelColor(106, 4), EvenRow);
    QCOMPARE(img.pixelColor(209, 4), EvenRow);
    QCOMPARE(img.pixelColor(210, 4), Sentinel);
    QCOMPARE(img.pixelColor(50, 7), Sentinel);
    QCOMPARE(img.pixelColor(2, 10), Blue3);
    QCOMPARE(img.pixelColor(209, 14), Blue3);
    QCOMPARE(img.pixelColor(50, 15), Sentinel);

    // Even height 18: both bars one row taller, rows 2..7 and 10..15.
    img = paint(w, QSize(213, 18));
    QCOMPARE(img.pixelColor(50, 7), Red2);
    QCOMPARE(img.pixelColor(50, 8), Sentinel);
    QCOMPARE(img.pixelColor(50, 9), Sentinel);
    QCOMPARE(img.pixelColor(50, 10), Blue3);
    QCOMPARE(img.pixelColor(50, 15), Blue3);
    QCOMPARE(img.pixelColor(50, 16), Sentinel);

    // More than 3 V: a red warning instead of bars.
    src.pairs[2].nljd.harm2 = 255;
    img = paint(w, QSize(213, 17));
    QVERIFY(hasColour(img, Alarm, img.rect()));
    QVERIFY(!hasColour(img, Red2, img.rect()));
    QVERIFY(!hasColour(img, Blue3, img.rect()));
}

void TestNljd::indicatorBackgrounds_data()
{
    QTest::addColumn<int>("pair");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("excluded");
    QTest::addColumn<bool>("refl");
    QTest::addColumn<QColor>("bg");
    QTest::addColumn<QRect>("area");
    // NLJD fills a fixed rectangle; REFL one that follows the size (W - 3, H - 2 at 213 x 17).
    const QRect fixed(QPoint(2, 2), QPoint(211, 13));
    const QRect sized(QPoint(2, 2), QPoint(209, 14));
    QTest::newRow("even pair, excluded") << 2 << 0 << true << false << EvenRow << fixed;
    QTest::newRow("odd pair, excluded") << 3 << 0 << true << false << OddRow << fixed;
    QTest::newRow("selected pair, excluded") << 3 << 3 << true << false << Selected << fixed;
    QTest::newRow("REFL, excluded") << 3 << 0 << true << true << OddRow << sized;
}

void TestNljd::indicatorBackgrounds()
{
    QFETCH(int, pair);
    QFETCH(int, current);
    QFETCH(bool, excluded);
    QFETCH(bool, refl);
    QFETCH(QColor, bg);
    QFETCH(QRect, area);
    TestSource src;
    src.current = quint8(current);
    PairRecord& r = measured(src.pairs, pair, 2, 200, 200);
    r.dataFlags |= DataFlag::reflValid;
    r.excluded = excluded;
    NLD w(nullptr, quint8(pair));
    w.setSource(&src);
    w.setReflMode(refl);
    w.setReflState(12.5f, 100);
    // An excluded pair's indicator paints its background and nothing else, whatever its data.
    const QImage img = paint(w, QSize(213, 17));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QCOMPARE(img.pixelColor(x, y), area.contains(x, y) ? bg : Sentinel);
}

void TestNljd::reflIndicator_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QColor>("textColour");
    QTest::addColumn<bool>("bar");

    QTest::newRow("bar half and distance") << 105 << true << QColor(Qt::white) << true;
    QTest::newRow("bar without data") << 105 << false << QColor() << false;
    QTest::newRow("no defects") << 252 << true << Good << false;
    QTest::newRow("noise") << 253 << true << Alarm << false;
    QTest::newRow("over 3 V") << 254 << true << Alarm << false;
    QTest::newRow("measuring") << 255 << true << QColor(Qt::white) << false;
    QTest::newRow("no defects, no data") << 252 << false << QColor() << false;
    QTest::newRow("nothing") << 0 << true << QColor() << false;
}

void TestNljd::reflIndicator()
{
    QFETCH(int, state);
    QFETCH(bool, valid);
    QFETCH(QColor, textColour);
    QFETCH(bool, bar);
    TestSource src;
    src.pairs[4].dataFlags = valid ? DataFlag::reflValid : 0;
    NLD w(nullptr, 4);
    w.setSource(&src);
    w.setReflMode(true);
    w.setReflState(123.4f, quint8(state));
    QCOMPARE(w.distance(), 123.4f);
    QCOMPARE(int(w.state()), state);
    const QImage img = paint(w, QSize(213, 17));
    const QRect all = img.rect();

    // Half of 208 pixels of bar, then the background.
    QCOMPARE(img.pixelColor(2, 8) == Blue3, bar);
    QCOMPARE(img.pixelColor(105, 8) == Blue3, bar);
    if (!bar)
        QCOMPARE(img.pixelColor(2, 8), EvenRow);
    QCOMPARE(img.pixelColor(209, 2), EvenRow);
    QCOMPARE(img.pixelColor(209, 15), Sentinel);
    for (const QColor& c : {QColor(Qt::white), Good, Alarm})
        QCOMPARE(hasColour(img, c, all), c == textColour);
}

void TestNljd::tableIndicatorsFindTheWindowsData()
{
    Rig r;
    measured(r.store(), 5, 2, 250, 250);
    QWidget* cell = r.ui()->swTAB->cellWidget(5, 3);
    QVERIFY(qobject_cast<NLD*>(cell));
    cell->resize(120, 17);
    QImage img(cell->size(), QImage::Format_RGB32);
    img.fill(Sentinel);
    cell->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    QCOMPARE(img.pixelColor(60, 4), Red2);
    QCOMPARE(img.pixelColor(60, 12), Blue3);

    // The large display sits in its layout on the NLJD tab and shows the selected pair.
    QCOMPARE(r.w->nljdDisplay()->parentWidget(), r.ui()->verticalLayoutWidget);
    QCOMPARE(r.w->nljdDisplay()->pair(), NLD::LargeDisplay);
    QVERIFY(r.ui()->layNLD->indexOf(r.w->nljdDisplay()) >= 0);
    r.select(5);
    const QImage large = r.w->nljdDisplay()->grab().toImage();
    QVERIFY(hasColour(large, Red2, large.rect()));
}

// --- Virtual analyser ---

void TestNljd::simulatorReadings()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* mode = static_cast<NljdMode*>(analyser.modeHandler(VirtualAnalyser::ModeNljd));
    QVERIFY(mode);
    const CableModel& cable = analyser.cable();
    // Average reading of a pair at a level.
    const auto mean = [&](int pair, quint8 level, int byte) {
        const PairWires w = pairWires(pair);
        analyser.reportPair(w.a, w.b);
        mode->command(analyser, QByteArray("N\x01", 2) + char(level));
        int sum = 0;
        for (int i = 0; i < 16; ++i) {
            const QByteArray m = mode->reading(analyser);
            if (quint8(m.at(1)) == 0xFF)
                return -1;
            if (quint8(m.at(4)) != w.a || quint8(m.at(5)) != w.b || quint8(m.at(6)) != level)
                return -2;
            sum += quint8(m.at(byte));
        }
        return sum / 16;
    };
    // More than 3 V on the line is reported instead of harmonics, not only a dangerous voltage.
    int junctions = 0, overs = 0, live = 0;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        const LineVoltage v = cable.voltageOf(w.a, w.b);
        if (std::abs(v.dc) + v.ac * std::sqrt(2.0) > 3.0) {
            QCOMPARE(mean(p, 2, 2), -1);
            ++overs;
            live += !cable.isOverVoltage(w.a, w.b);
        } else if (cable.junctionOf(w.a, w.b) > 0) {
            ++junctions;
            QVERIFY(mean(p, 0, 2) < mean(p, 2, 2));
            QVERIFY(mean(p, 2, 2) < mean(p, 4, 2));
            QVERIFY(mean(p, 2, 3) < mean(p, 4, 3));
            QVERIFY(mean(p, 4, 2) > 40);
        } else {
            QVERIFY(mean(p, 4, 2) < 12);
            QVERIFY(mean(p, 4, 3) < 12);
        }
    }
    QVERIFY(junctions > 0);
    QVERIFY(overs > 0);
    QVERIFY(live > 0);

    // Its status carries the level in byte 8; other commands are not its business.
    mode->command(analyser, QByteArray("N\x01\x03", 3));
    QByteArray status(9, '\0');
    mode->fillStatus(analyser, status);
    QCOMPARE(int(status.at(8)), 3);
    QVERIFY(!mode->command(analyser, QByteArray("O\x0D\x01", 3)));
    mode->command(analyser, QByteArray("N\x01\x07", 3)); // no such level
    QCOMPARE(mode->level(), quint8(3));
}

namespace
{
// The window connected to the virtual analyser; what it sent while connecting stays logged.
struct LiveRig : AnalyserWindowRig {
    LiveRig() { tick(4); }
    void talk(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            analyser.tick();
            settle();
        }
    }
};

int strongestJunction(const CableModel& cable)
{
    int best = 0;
    double strength = 0;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        if (!cable.isOverVoltage(w.a, w.b) && cable.junctionOf(w.a, w.b) > strength) {
            strength = cable.junctionOf(w.a, w.b);
            best = p;
        }
    }
    return best;
}
} // namespace

void TestNljd::endToEnd()
{
    LiveRig r;
    QCOMPARE(r.w->linkState(), quint8(2));
    r.ui()->tabWidget->setCurrentIndex(2);
    r.settle();
    QCOMPARE(r.analyser.mode(), VirtualAnalyser::ModeNljd);

    const int pair = strongestJunction(r.analyser.cable());
    QVERIFY(pair > 0);
    r.w->swClick(pair, 1);
    r.talk(8);
    const PairRecord& rec = r.w->pairStore()[pair];
    QVERIFY(rec.dataFlags & DataFlag::nljdValid);
    QCOMPARE(rec.nljd.level, quint8(2));
    const int at60 = rec.nljd.harm2;
    QVERIFY(at60 > 20);

    // Louder probing, stronger harmonics; the analyser's status keeps the slider where it is.
    r.ui()->slNLD->setValue(100);
    QCOMPARE(r.port->sentPayloads().last(), QByteArray("N\x01\x04", 3));
    r.talk(12);
    QCOMPARE(rec.nljd.level, quint8(4));
    QVERIFY(rec.nljd.harm2 > at60 + 20);
    QCOMPARE(r.ui()->slNLD->value(), 100.0);

    // The analyser's own level change reaches the slider and is echoed and stored.
    QByteArray status = r.analyser.statusPayload();
    status[8] = 2;
    r.port->clearSent();
    r.analyser.send(status);
    r.settle();
    QCOMPARE(r.ui()->slNLD->value(), 60.0);
    QVERIFY(r.port->sentPayloads().contains(QByteArray("N\x01\x02", 3)));
    QCOMPARE(static_cast<NljdMode*>(r.analyser.modeHandler(VirtualAnalyser::ModeNljd))->level(), quint8(2));
    r.ui()->slNLD->setValue(100);
    r.talk(12);

    // Save at 100 %.
    QTemporaryDir dir;
    const QString file = dir.filePath("line.nljd");
    r.ui()->nldSave->click();
    r.ui()->nldTXT->setText("before repair");
    r.prompts.fileNames.enqueue(file);
    r.ui()->nldSave2->click();
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray content = saved.readAll();
    const int at = 16 + 4 * (pair - 1);
    QCOMPARE(content.mid(at, 4), bytes({1, 4, rec.nljd.harm2, rec.nljd.harm3}));

    // Load and compare: the same pair at the same level agrees.
    r.prompts.fileNames.enqueue(file);
    r.ui()->nldComp->click();
    QVERIFY(r.ui()->nldComp->isChecked());
    QCOMPARE(r.w->currentPair(), quint8(pair));
    r.talk(3);
    QCOMPARE(int(r.w->nljdVerdict(pair)), 0);
    QCOMPARE(r.ui()->swTAB->item(pair, 0)->foreground().color(), QColor(0xFFFFFF));
    QVERIFY(r.ui()->nldERR->toPlainText().isEmpty());

    // Probing at 60 % now: the pair is marked and the file's level is pointed at.
    r.ui()->slNLD->setValue(60);
    r.talk(3);
    QCOMPARE(int(r.w->nljdVerdict(pair)), 3);
    QCOMPARE(r.ui()->swTAB->item(pair, 0)->foreground().color(), QColor(255, 85, 85));
    QCOMPARE(r.ui()->nldERR->toPlainText(),
             QString("Different levels of the probing signal (in the file - 100%)"));
    QVERIFY(r.ui()->nldLEVsr->isVisibleTo(r.w.get()));
}

QTEST_MAIN(TestNljd)
#include "tst_nljd.moc"
