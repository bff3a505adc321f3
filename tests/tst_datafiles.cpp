// Data files a user may pick by mistake or on purpose: huge, empty, of the other mode, not a plain
// file. Each is refused with its box, quickly, and leaves what was loaded before as it was. And the
// report folders found beside the program, whatever their names.
#include "modes/nljd/nljdfile.h"
#include "modes/refl/reflmodestate.h"
#include "pairs/pairstore.h"
#include "reporting/reportfiles.h"
#include "windowrigs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QString NotNljd = "This is not a NLJD data file for KV847!";
const QString NotRefl = "This is not a REFL data file for KV847!";
const QString CannotOpen = "Could not open file";
constexpr qint64 Huge = 100 * 1024 * 1024;

// What a load may change, to compare before and after a refusal.
struct Loaded {
    bool loaded;
    QString info;
    QByteArray values;
    bool operator==(const Loaded& o) const { return loaded == o.loaded && info == o.info && values == o.values; }
};

struct Rig : FakePortWindowRig {
    QTemporaryDir dir;
    bool refl;

    explicit Rig(bool reflMode) : refl(reflMode) {}
    QString path(const QString& name) const { return dir.filePath(name); }
    QString ext() const { return refl ? ".refl" : ".nljd"; }
    void write(const QString& name, const QByteArray& content) const
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(content), qint64(content.size()));
    }
    // A file of this rig's mode with one measured pair and the given comment.
    QByteArray goodFile(const QString& comment) const { return modeFile(refl, comment); }
    QByteArray modeFile(bool reflFile, const QString& comment) const
    {
        PairStore s;
        s[5].dataFlags = DataFlag::nljdValid | DataFlag::reflValid;
        s[5].nljd = {2, 90, 40};
        s[5].refl.status = 2;
        s[5].refl.defectDistance[1] = 420;
        s[5].refl.trace.fill(33);
        return reflFile ? Refl::encodeFile(w->reflState().reflFactor, s, comment) : NljdFile::encode(s, comment);
    }
    void load(const QString& name)
    {
        prompts.fileNames.enqueue(path(name));
        (refl ? ui()->refLoad : ui()->nldLoad)->click();
    }
    Loaded state() const
    {
        if (refl) {
            const Refl::ReflFileData& f = w->reflState().file;
            QByteArray v(reinterpret_cast<const char*>(&f.fileStatus), sizeof f.fileStatus);
            v += QByteArray(reinterpret_cast<const char*>(&f.fileDefectDistance), sizeof f.fileDefectDistance);
            v += QByteArray(reinterpret_cast<const char*>(&f.fileDefectLevel), sizeof f.fileDefectLevel);
            v += QByteArray(reinterpret_cast<const char*>(&f.fileTrace), sizeof f.fileTrace);
            return {w->reflState().fileLoaded, ui()->refINFO->toPlainText(), v};
        }
        const NljdFileData& f = w->nljdFile();
        return {w->nljdFileLoaded(), ui()->nldINFO->toPlainText(),
                QByteArray(reinterpret_cast<const char*>(&f), sizeof f)};
    }
};
} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT
private slots:
    void hostileFileIsRefused_data();
    void hostileFileIsRefused();
    void longestFileLoadsAndOneMoreByteIsRefused_data();
    void longestFileLoadsAndOneMoreByteIsRefused();
    void readerStopsAtTheLargestFile();
    void emptyRunFolderGoesWhateverItsName_data();
    void emptyRunFolderGoesWhateverItsName();
};

void TestDataFiles::hostileFileIsRefused_data()
{
    QTest::addColumn<bool>("refl");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("box");
    for (bool refl : {false, true}) {
        const QString notOurs = refl ? NotRefl : NotNljd;
        const char* mode = refl ? "refl " : "nljd ";
        QTest::newRow(QByteArray(mode + QByteArray("100 MB")).constData()) << refl << "huge" << notOurs;
        QTest::newRow(QByteArray(mode + QByteArray("100 MB garbage")).constData()) << refl << "garbage" << notOurs;
        QTest::newRow(QByteArray(mode + QByteArray("empty")).constData()) << refl << "empty" << notOurs;
        QTest::newRow(QByteArray(mode + QByteArray("other mode")).constData()) << refl << "other" << notOurs;
        QTest::newRow(QByteArray(mode + QByteArray("directory")).constData()) << refl << "dir" << CannotOpen;
        QTest::newRow(QByteArray(mode + QByteArray("device")).constData()) << refl << "device" << CannotOpen;
    }
}

void TestDataFiles::hostileFileIsRefused()
{
    QFETCH(bool, refl);
    QFETCH(QString, kind);
    QFETCH(QString, box);
    Rig r(refl);
    r.write("good" + r.ext(), r.goodFile("kept"));
    r.load("good" + r.ext());
    const Loaded before = r.state();
    QVERIFY(before.loaded);
    QVERIFY(before.info.endsWith("kept"));

    const QString name = "bad" + r.ext();
    if (kind == "huge") {
        // A real file's start, a comment that claims 2 GB, and 100 MB of holes behind it.
        QByteArray start = r.goodFile(QString());
        start.chop(4);
        start += QByteArray("\xF0\xFF\xFF\x7F", 4);
        r.write(name, start);
        QFile f(r.path(name));
        QVERIFY(f.resize(Huge));
    } else if (kind == "garbage") {
        // The mode's magic, so that only the size can refuse it, then 100 MB of noise.
        QFile f(r.path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.goodFile(QString()).left(16));
        QRandomGenerator noise(847);
        QByteArray chunk(1024 * 1024, '\0');
        while (f.size() < Huge) {
            noise.fillRange(reinterpret_cast<quint32*>(chunk.data()), chunk.size() / 4);
            QCOMPARE(f.write(chunk), qint64(chunk.size()));
        }
    } else if (kind == "empty") {
        r.write(name, QByteArray());
    } else if (kind == "other") {
        r.write(name, r.modeFile(!refl, "other"));
    } else if (kind == "dir") {
        QVERIFY(QDir(r.dir.path()).mkdir(name));
    } else {
        QVERIFY(QFile::link("/dev/zero", r.path(name)));
    }

    QElapsedTimer clock;
    clock.start();
    r.load(name);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Error"));
    QCOMPARE(r.prompts.asked.last().text, box);
    QVERIFY(r.state() == before);
}

void TestDataFiles::longestFileLoadsAndOneMoreByteIsRefused_data()
{
    QTest::addColumn<bool>("refl");
    QTest::newRow("nljd") << false;
    QTest::newRow("refl") << true;
}

void TestDataFiles::longestFileLoadsAndOneMoreByteIsRefused()
{
    QFETCH(bool, refl);
    Rig r(refl);
    // Every record as long as its status byte allows, and the longest comment the field takes.
    PairStore s;
    for (int p = 1; p <= PairCount; ++p) {
        s[p].dataFlags = DataFlag::reflValid;
        s[p].refl.status = 249;
    }
    const QString comment(32767, QChar('c'));
    const QByteArray longest =
        refl ? Refl::encodeFile(r.w->reflState().reflFactor, s, comment) : NljdFile::encode(s, comment);
    QCOMPARE(qint64(longest.size()), refl ? Refl::MaxFileSize : NljdFile::MaxFileSize);

    r.write("longest" + r.ext(), longest);
    r.load("longest" + r.ext());
    QCOMPARE(r.prompts.count("critical"), 0);
    QVERIFY(r.state().loaded);
    QVERIFY(r.state().info.endsWith(comment));

    r.write("longer" + r.ext(), longest + '\0');
    r.load("longer" + r.ext());
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().text, refl ? NotRefl : NotNljd);
}

void TestDataFiles::readerStopsAtTheLargestFile()
{
    // A real start whose comment claims 2 GB, in 100 MB: the readers take at most one byte more
    // than the largest file, never the comment's claim.
    QTemporaryDir dir;
    PairStore s;
    const QByteArray claim("\xF0\xFF\xFF\x7F", 4);
    for (bool refl : {false, true}) {
        QFile f(dir.filePath(refl ? "huge.refl" : "huge.nljd"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray start = refl ? Refl::encodeFile(1.5f, s, QString()) : NljdFile::encode(s, QString());
        start.chop(4);
        f.write(start + claim);
        QVERIFY(f.resize(Huge));
        QVERIFY(f.seek(0));
        QString comment;
        if (refl) {
            Refl::ReflFileData d;
            QVERIFY(Refl::readFile(f, 1.5f, d, &comment) == Refl::LoadResult::NotReflFile);
            QVERIFY(f.pos() <= Refl::MaxFileSize + 1);
        } else {
            NljdFileData n;
            QVERIFY(NljdFile::read(f, n, comment) == NljdFile::ReadResult::WrongMagic);
            QVERIFY(f.pos() <= NljdFile::MaxFileSize + 1);
        }
    }
}

void TestDataFiles::emptyRunFolderGoesWhateverItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("run folder") << "D071226_T011649";
    QTest::newRow("leading colon") << ":D071226";
    QTest::newRow("blank and hash") << "run #2";
    QTest::newRow("line break") << "a\nb";
}

void TestDataFiles::emptyRunFolderGoesWhateverItsName()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString root = dir.filePath("reports");
    QVERIFY(QDir().mkpath(root + "/" + name));
    QVERIFY(QDir().mkpath(root + "/" + name + "-saved/LFA"));
    QFile kept(root + "/" + name + "-saved/LFA/lfa_osc_1-2_011649.png");
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();

    const QString fresh = Report::startRunFolder(root, QDateTime(QDate(2026, 12, 8), QTime(14, 0, 0)));
    QCOMPARE(fresh, QString("D081226_T140000"));
    QStringList left = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QStringList expected{fresh, name + "-saved"};
    left.sort();
    expected.sort();
    QCOMPARE(left, expected);
}

QTEST_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
