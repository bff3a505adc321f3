// Firmware update: header check, block shaping, progress, the window's transfer against a scripted
// port and the virtual analyser, and what happens when the analyser refuses, falls silent or vanishes.
#include "firmware/firmwareimage.h"
#include "firmware/firmwaretransfer.h"
#include "sim/mode_firmware.h"
#include "windowrigs.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

using Bytes = QByteArray;
using Fault = FirmwareMode::Fault;
Q_DECLARE_METATYPE(FirmwareMode::Fault)

namespace
{
Bytes fileData(int n)
{
    Bytes d;
    for (int i = 0; i < n; ++i)
        d.append(char(1 + i % 251)); // never 0, so padding shows
    return d;
}

QString writeFile(const QTemporaryDir& dir, const Bytes& bytes)
{
    const QString path = dir.filePath("fw.bin");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

FirmwareMode* firmwareMode(VirtualAnalyser& a)
{
    return dynamic_cast<FirmwareMode*>(a.modeHandler(VirtualAnalyser::ModeFirmware));
}

// Lets the event loop run until the condition holds or the time is up.
template <class F> bool waitFor(F done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

const QString FailText = "An error occurred during the update!\nRun the update again!";

// The window on the virtual analyser, on the Update tab with a firmware file chosen.
struct UpdateRig : AnalyserWindowRig {
    QTemporaryDir dir;
    Bytes image;

    explicit UpdateRig(int dataBytes = 3000, quint32 count = 0)
    {
        image = FirmwareMode::demoImage(3, 21, dataBytes, count);
        connectNow();
        ui()->tabWidget->setCurrentIndex(5);
        prompts.fileNames.enqueue(writeFile(dir, image));
        ui()->But_Browse->click();
        port->clearSent();
    }
    QList<Bytes> sentOf(char kind) const
    {
        QList<Bytes> out;
        for (const Bytes& p : port->sentPayloads())
            if (p.startsWith(kind))
                out.append(p);
        return out;
    }
};
} // namespace

class TestFirmware : public QObject
{
    Q_OBJECT
private slots:
    void blocks_data();
    void blocks();
    void progress_data();
    void progress();
    void start_data();
    void start();
    void replies_data();
    void replies();
    void simChecksHeader_data();
    void simChecksHeader();
    void failureEndsTransfer_data();
    void failureEndsTransfer();
    void verdictBoxKeepsLinkAlive();
    void wholeUpdateReconnects();
};

void TestFirmware::blocks_data()
{
    QTest::addColumn<quint32>("count");
    QTest::addColumn<int>("dataBytes");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("no boundary, last block padded") << 0u << 130 << QList<int>{64, 64, 64};
    QTest::newRow("boundary at 100, then the wrap") << 100u << 300 << QList<int>{64, 37, 64, 64, 64, 64};
    QTest::newRow("boundary on a block's last byte") << 63u << 128 << QList<int>{64, 64};
}

void TestFirmware::blocks()
{
    QFETCH(quint32, count);
    QFETCH(int, dataBytes);
    QFETCH(QList<int>, sizes);
    Bytes data = fileData(dataBytes);
    QBuffer src(&data);
    QVERIFY(src.open(QIODevice::ReadOnly));
    BlockShaper shaper(count, dataBytes);
    Bytes sent;
    QList<int> got;
    for (Bytes b = shaper.nextBlock(src); !b.isEmpty(); b = shaper.nextBlock(src)) {
        QCOMPARE(b.at(0), 'D');
        got.append(b.size() - 1);
        sent += b.mid(1);
    }
    QCOMPARE(got, sizes);
    // Every file byte in order, then zeros only; nothing once the file is exhausted.
    QCOMPARE(sent.left(dataBytes), data);
    QCOMPARE(sent.mid(dataBytes), Bytes(sent.size() - dataBytes, '\0'));
    QVERIFY(shaper.nextBlock(src).isEmpty());
}

void TestFirmware::progress_data()
{
    QTest::addColumn<quint32>("length");
    QTest::addColumn<int>("maxStep"); // most percent one block may move
    QTest::addColumn<int>("blocksTo100");
    // Step 100: a 64-byte block crosses a step every one or two blocks.
    QTest::newRow("A 9900") << 9900u << 1 << 157;
    // Step 0 would never end; taken as one byte, a block moves 64 percent at most.
    QTest::newRow("A below 99") << 50u << 64 << 2;
}

void TestFirmware::progress()
{
    QFETCH(quint32, length);
    QFETCH(int, maxStep);
    QFETCH(int, blocksTo100);
    TransferProgress p(length);
    int last = 0, reached = -1;
    for (int block = 1; block <= 400; ++block) {
        const bool told = p.addBlock();
        QVERIFY(p.percent() <= 100);
        QVERIFY(p.percent() - last <= maxStep);
        QVERIFY(told || p.percent() == last);
        if (p.percent() == 100 && reached < 0)
            reached = block;
        last = p.percent();
    }
    QCOMPARE(reached, blocksTo100);
}

void TestFirmware::start_data()
{
    QTest::addColumn<Bytes>("file"); // empty: no path at all
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("refusal");
    Bytes good = FirmwareMode::demoImage(1, 2, 100, 0);
    QTest::newRow("847 accepted") << good << false << QString();
    Bytes bad = good;
    bad.replace(0, 3, "748");
    QTest::newRow("748 refused") << bad << false << "This file is not a firmware for KV847!";
    QTest::newRow("short file refused") << Bytes("847abc") << false << "This file is not a firmware for KV847!";
    QTest::newRow("empty path refused") << Bytes() << false << "This file is not a firmware for KV847!";
    QTest::newRow("missing file") << good << true << "Could not open file";
}

void TestFirmware::start()
{
    QFETCH(Bytes, file);
    QFETCH(bool, missing);
    QFETCH(QString, refusal);
    FakePortWindowRig r;
    r.connectAnalyser();
    QTemporaryDir dir;
    QString path = file.isEmpty() ? QString() : writeFile(dir, file);
    if (missing)
        path = dir.filePath("gone.bin");
    r.ui()->pathFW->setText(path);
    r.w->proshivka(1);
    if (refusal.isEmpty()) {
        // The header repeats the file's first 15 bytes exactly (count 0 stays 0), then progress 0.
        QCOMPARE(r.log, (QList<Bytes>{"D" + file.left(15), Bytes("P\x00", 2)}));
        QVERIFY(r.w->updateBusy());
        QVERIFY(r.prompts.asked.isEmpty());
        return;
    }
    QVERIFY(r.log.isEmpty());
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.value(0).text, refusal);
    QVERIFY(!r.w->updateBusy());
    QVERIFY(!r.ui()->But_Reprog->isEnabled());
}

void TestFirmware::replies_data()
{
    QTest::addColumn<quint8>("code");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("portOpen");
    QTest::newRow("1 failed") << quint8(1) << "critical:" + FailText << true;
    QTest::newRow("7 done") << quint8(7) << "information:Update done!" << false;
    QTest::newRow("4 ended") << quint8(4) << QString() << true;
}

void TestFirmware::replies()
{
    QFETCH(quint8, code);
    QFETCH(QString, box);
    QFETCH(bool, portOpen);
    FakePortWindowRig r;
    r.connectAnalyser();
    r.w->setActivityMarker(11);
    QTemporaryDir dir;
    r.prompts.fileNames.enqueue(writeFile(dir, FirmwareMode::demoImage(1, 2, 100, 0)));
    r.ui()->But_Browse->click();
    QVERIFY(r.ui()->But_Reprog->isEnabled());
    r.ui()->But_Reprog->click();
    // Two acknowledgements: two blocks (100 bytes), a third finds the file exhausted.
    for (int i = 0; i < 3; ++i)
        r.port->pushPayload(Bytes("D\x03", 2));
    QCOMPARE(r.log.mid(2).count(), 4); // block, "P", block, "P"
    QCOMPARE(r.log.value(5), Bytes("P\x64", 2));

    r.port->pushPayload(Bytes(1, 'D') + char(code));
    const auto boxesShown = [&r] {
        QStringList boxes;
        for (const auto& a : r.prompts.asked)
            if (a.kind == "critical" || a.kind == "information")
                boxes << a.kind + ":" + a.text;
        return boxes;
    };
    // The verdict's box only opens once the receive handler has returned.
    QVERIFY(boxesShown().isEmpty());
    QCoreApplication::processEvents();
    const QStringList boxes = boxesShown();
    QCOMPARE(boxes, box.isEmpty() ? QStringList() : QStringList{box});
    QVERIFY(!r.w->updateBusy());
    QCOMPARE(r.port->isOpen(), portOpen);
    QCOMPARE(r.w->activityMarker(), quint8(code == 4 ? 0 : 11));
    QVERIFY(r.ui()->pathFW->text().isEmpty());
    QVERIFY(r.ui()->progressBar->isHidden());
    QVERIFY(r.ui()->tabWidget->isTabEnabled(0));
    // A late reply belongs to no transfer.
    const int sent = r.log.size();
    r.port->pushPayload(Bytes("D\x03", 2));
    QCOMPARE(r.log.size(), sent);
}

void TestFirmware::simChecksHeader_data()
{
    QTest::addColumn<Bytes>("header");
    QTest::addColumn<quint8>("reply");
    const Bytes good = FirmwareMode::demoImage(1, 2, 100).left(15);
    QTest::newRow("good") << good << quint8(0);
    QTest::newRow("wrong magic") << Bytes("748") + good.mid(3) << quint8(1);
    QTest::newRow("length 0") << Bytes(good).replace(6, 4, Bytes(4, '\0')) << quint8(1);
    QTest::newRow("short") << good.left(14) << quint8(1);
}

void TestFirmware::simChecksHeader()
{
    QFETCH(Bytes, header);
    QFETCH(quint8, reply);
    VirtualAnalyser a;
    a.setAutoTalk(false);
    QList<Bytes> out;
    FrameReceiver rx;
    connect(&a, &VirtualAnalyser::output, [&](const Bytes& b) {
        for (char c : b)
            if (rx.feed(quint8(c)))
                out.append(rx.takePayload().chopped(1));
    });
    a.receive(Frame::encode(Bytes("U\x01", 2)) + Frame::encode(Bytes("R\x01", 2)) +
              Frame::encode("D" + header));
    QCOMPARE(out.value(1), Bytes(1, 'D') + char(reply));
}

void TestFirmware::failureEndsTransfer_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("analyser refuses") << Fault::Refuse;
    QTest::newRow("no reply") << Fault::Silence;
    QTest::newRow("port lost") << Fault::DropLink;
}

void TestFirmware::failureEndsTransfer()
{
    QFETCH(Fault, fault);
    UpdateRig r;
    r.w->firmwareTransfer().setReplyTimeout(200);
    firmwareMode(r.analyser)->setFault(fault, 5);
    r.ui()->But_Reprog->click();
    QVERIFY(waitFor([&] { return !r.w->updateBusy(); }));
    r.settle();
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().text, FailText);
    QCOMPARE(r.sentOf('D').size(), 1 + 5);
    QVERIFY(r.ui()->progressBar->isHidden());
    // The watchdog has the link again (after a lost port, once the cable is back), and a retry works.
    r.port->plug();
    r.tick(5);
    QCOMPARE(r.w->linkState(), quint8(2));
    r.port->clearSent();
    r.tick();
    QVERIFY(r.sentCount("#") > 0);
    r.prompts.fileNames.enqueue(r.dir.filePath("fw.bin"));
    r.ui()->But_Browse->click();
    r.ui()->But_Reprog->click();
    QVERIFY(waitFor([&] { return r.prompts.count("information") == 1; }));
}

void TestFirmware::verdictBoxKeepsLinkAlive()
{
    // While its box is open the analyser keeps answering and the connection timer keeps running.
    struct ModalPrompts : ScriptedPrompts {
        MainWindow* w = nullptr;
        QList<quint8> states;
        void critical(const QString& title, const QString& text) override
        {
            ScriptedPrompts::critical(title, text);
            for (int i = 0; i < 30; ++i) {
                w->openSerialPort();
                AnalyserWindowRig::settle();
                states.append(w->linkState());
            }
        }
    };
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    firmwareMode(analyser)->setFault(Fault::Refuse, 2);
    auto* port = new VirtualAnalyserPort(analyser);
    ModalPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    prompts.w = &w;
    for (QTimer* t : w.findChildren<QTimer*>())
        if (t->interval() == 500)
            t->stop();
    for (int i = 0; i < 8; ++i) {
        w.openSerialPort();
        AnalyserWindowRig::settle();
    }
    QCOMPARE(w.linkState(), quint8(2));
    w.form()->tabWidget->setCurrentIndex(5);
    QTemporaryDir dir;
    w.form()->pathFW->setText(writeFile(dir, FirmwareMode::demoImage(1, 2, 1000)));
    w.proshivka(1);
    QVERIFY(waitFor([&] { return !prompts.states.isEmpty(); }));
    QCOMPARE(prompts.states.size(), 30);
    QVERIFY(*std::max_element(prompts.states.begin(), prompts.states.end()) <= 3);
    QVERIFY(port->isOpen());
}

void TestFirmware::wholeUpdateReconnects()
{
    // Count 100 puts a short block in, and the length is not a whole number of blocks.
    UpdateRig r(5000, 100);
    QCOMPARE(r.ui()->lab_ver->text(), QString("2.05"));
    r.ui()->But_Reprog->click();
    QVERIFY(!r.ui()->progressBar->isHidden());
    QVERIFY(!r.ui()->tabWidget->isTabEnabled(0));
    QVERIFY(waitFor([&] { return r.prompts.count("information") == 1; }));
    QCOMPARE(r.prompts.asked.last().text, QString("Update done!"));
    QCOMPARE(r.w->linkState(), quint8(0));
    QVERIFY(r.ui()->progressBar->isHidden());

    const QList<Bytes> d = r.sentOf('D');
    QCOMPARE(d.first(), "D" + r.image.left(15));
    Bytes data;
    for (const Bytes& b : d.mid(1))
        data += b.mid(1);
    QCOMPARE(data.left(5000), r.image.mid(15));
    QCOMPARE(d.value(2).size(), 1 + 37);
    const QList<Bytes> p = r.sentOf('P');
    QCOMPARE(p.first(), Bytes("P\x00", 2));
    QCOMPARE(p.last(), Bytes("P\x64", 2));
    // The last "P" follows the last block and so reaches the analyser already restarting.
    QVERIFY(firmwareMode(r.analyser)->reportedPercent() >= 99);

    // The restarted analyser is found again and reports its new version.
    r.tick(4);
    QCOMPARE(r.w->linkState(), quint8(2));
    QCOMPARE(r.ui()->lab_ver->text(), QString("3.21"));
    QVERIFY(r.ui()->updateBox->isEnabled());
}

QTEST_MAIN(TestFirmware)
#include "tst_firmware.moc"
