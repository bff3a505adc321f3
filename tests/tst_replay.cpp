// Record and replay of the link: the file format, a session on the virtual analyser replayed into a
// second window, the replay's pace, recordings cut short, and files the program must refuse.
#include "app/commandline.h"
#include "link/framecodec.h"
#include "link/linkrecording.h"
#include "link/recordingport.h"
#include "link/replayport.h"
#include "modes/lfa/osc.h"
#include "pairs/pairstore.h"
#include "sim/mode_refl.h"
#include "windowrigs.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <qwt_plot_curve.h>

using Bytes = QByteArray;

namespace
{
Bytes u16(quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    return Bytes(b, 2);
}

Bytes u32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return Bytes(b, 4);
}

Bytes header(quint16 version = 1)
{
    return Bytes("KV847REC") + u16(version) + Bytes(8, '\x01') + char(5) + Bytes("kv847") + char(2) +
           Bytes("up");
}

Bytes record(quint32 ms, quint8 direction, const Bytes& bytes)
{
    return u32(ms) + char(direction) + u16(quint16(bytes.size())) + bytes;
}

// A short session: the connect request, its answer, then the analyser alone at 1 s and 2 s.
const Bytes ConnectAnswer = Frame::encode(Bytes("S\x01\x02\x05", 4));
const Bytes Battery = Frame::encode(Bytes("B\x04\x00", 3));
const Bytes Poll = Frame::encode(Bytes("#"));
Bytes shortSession()
{
    return header() + record(5, 0, Frame::encode(Bytes("U\x01", 2))) + record(7, 1, ConnectAnswer) +
           record(1005, 1, Battery) + record(2005, 1, Poll);
}

bool writeFile(const QString& path, const Bytes& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Opens a replay port as the watchdog does and collects what it plays.
struct Listener {
    ReplayAnalyserPort port;
    Bytes received;
    QElapsedTimer sinceOpen;
    qint64 lastByteMs = -1;
    QList<QSerialPort::SerialPortError> errors;

    Listener(const LinkRecording& recording, double speed) : port(recording, speed)
    {
        QObject::connect(&port, &AnalyserPort::readyRead, [this] {
            received += port.readAll();
            lastByteMs = sinceOpen.elapsed();
        });
        QObject::connect(&port, &AnalyserPort::errorOccurred,
                         [this](QSerialPort::SerialPortError e) { errors.append(e); });
    }
    void openAndConnect()
    {
        port.setPortName(port.availablePorts().value(0).portName);
        QVERIFY(port.open(QIODevice::ReadWrite));
        sinceOpen.start();
        QCOMPARE(port.write(Frame::encode(Bytes("U\x01", 2))), qint64(6));
    }
};

// What a user sees of a session and what they could save from it.
struct Outcome {
    QStringList table;
    QImage tableImage;
    Bytes nljd;
    Bytes refl;
    QVector<QPointF> lfa;
};

Bytes saved(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : Bytes();
}

Outcome outcomeOf(MainWindow& w, ScriptedPrompts& prompts, const QString& dir)
{
    Outcome o;
    Ui::MainWindow* ui = w.form();
    for (int row = 0; row < ui->swTAB->rowCount(); ++row)
        for (int col = 0; col < ui->swTAB->columnCount(); ++col)
            if (const QTableWidgetItem* item = ui->swTAB->item(row, col))
                o.table << item->text() + ' ' + item->foreground().color().name();
    o.tableImage = ui->swTAB->grab().toImage();
    prompts.fileNames.enqueue(dir + "/set.nljd");
    ui->nldSave->click();
    ui->nldSave2->click();
    o.nljd = saved(dir + "/set.nljd");
    prompts.fileNames.enqueue(dir + "/set.refl");
    ui->refSave->click();
    ui->refSave2->click();
    o.refl = saved(dir + "/set.refl");
    const QwtPlotCurve* curve = w.osc()->oscCurve();
    for (size_t i = 0; i < curve->dataSize(); ++i)
        o.lfa.append(curve->sample(i));
    return o;
}

void holdLinkTimer(MainWindow& w)
{
    for (QTimer* t : w.findChildren<QTimer*>())
        if (t->interval() == 500)
            t->stop();
}

void settle()
{
    AnalyserWindowRig::settle();
}
} // namespace

class TestReplay : public QObject
{
    Q_OBJECT
private slots:
    void writerKeepsRecordsAsItGoes();
    void sessionReplaysTheSame();
    void speedSetsThePace_data();
    void speedSetsThePace();
    void cutRecordingPlaysToItsCut_data();
    void cutRecordingPlaysToItsCut();
    void badFileIsRefused_data();
    void badFileIsRefused();
};

void TestReplay::writerKeepsRecordsAsItGoes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("w.kvrec");
    auto* writer = new LinkRecordWriter;
    QString why;
    QVERIFY2(writer->open(path, "kv847 9.9", "bench", &why), qPrintable(why));
    writer->add(LinkDirection::ToAnalyser, Bytes("abc"));
    // On disk soon after, with the writer still running: a killed program keeps it.
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(path).size(), qint64(8 + 2 + 8 + 10 + 6 + 7 + 3), 2000);
    const Bytes big(70000, '\x5A');
    writer->add(LinkDirection::FromAnalyser, big);
    delete writer;

    const Bytes file = saved(path);
    QCOMPARE(file.left(10), Bytes("KV847REC\x01\x00", 10));
    QCOMPARE(file.mid(18, 16), Bytes("\x09kv847 9.9\x05" "bench", 16));
    LinkRecording r;
    QVERIFY2(LinkRecording::parse(file, &r, &why), qPrintable(why));
    QCOMPARE(r.writer, QString("kv847 9.9"));
    QCOMPARE(r.records.size(), 3); // the long chunk goes as two records
    QCOMPARE(r.records[0].bytes, Bytes("abc"));
    QCOMPARE(r.records[1].bytes.size(), 65535);
    QCOMPARE(r.records[1].bytes + r.records[2].bytes, big);
    QVERIFY(r.records[2].direction == LinkDirection::FromAnalyser);
    QVERIFY(!r.cutShort);
}

void TestReplay::sessionReplaysTheSame()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("session.kvrec");
    QVERIFY(QDir(dir.path()).mkpath("replayed") && QDir(dir.path()).mkpath("live"));
    Outcome live;
    {
        VirtualAnalyser analyser;
        analyser.setAutoTalk(false);
        static_cast<ReflMode*>(analyser.modeHandler(VirtualAnalyser::ModeRefl))->setStepInterval(1);
        auto* virtualPort = new VirtualAnalyserPort(analyser);
        auto* writer = new LinkRecordWriter;
        QString why;
        QVERIFY2(writer->open(path, "tst", "virtual analyser", &why), qPrintable(why));
        ScriptedPrompts prompts;
        MainWindow w(nullptr, new RecordingAnalyserPort(virtualPort, writer), &prompts);
        holdLinkTimer(w);
        const auto talk = [&](int beats) {
            for (int i = 0; i < beats; ++i) {
                analyser.tick();
                settle();
            }
        };
        for (int i = 0; i < 4; ++i) {
            w.openSerialPort();
            w.openSerialPort();
            settle();
        }
        QCOMPARE(w.linkState(), quint8(2));
        Ui::MainWindow* ui = w.form();
        ui->tabWidget->setCurrentIndex(2);
        for (int pair : {1, 9, 30}) {
            w.swClick(pair, 1);
            talk(4);
        }
        ui->tabWidget->setCurrentIndex(3);
        w.swClick(3, 1);
        talk(1);
        ui->refTEST->click();
        QTRY_VERIFY(w.pairStore()[3].dataFlags & DataFlag::reflValid);
        QTRY_VERIFY(ui->centralWidget->isEnabled());
        ui->tabWidget->setCurrentIndex(0);
        w.swClick(2, 1);
        talk(5);
        virtualPort->unplug();
        settle();
        QCOMPARE(w.linkState(), quint8(0));
        live = outcomeOf(w, prompts, dir.filePath("live"));
    }
    QVERIFY(!live.nljd.isEmpty() && !live.refl.isEmpty() && !live.lfa.isEmpty());

    LinkRecording recording;
    QString why;
    QVERIFY2(LinkRecording::read(path, &recording, &why), qPrintable(why));
    auto* port = new ReplayAnalyserPort(recording, 1.0);
    ScriptedPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    holdLinkTimer(w);
    followRecordedSelections(*port, w);
    w.openSerialPort();
    QCOMPARE(w.linkState(), quint8(1));
    QTRY_VERIFY_WITH_TIMEOUT(port->hasEnded(), 20000);
    settle();
    // The end of the recording is a lost link, and the replay port is gone from the list.
    QCOMPARE(w.linkState(), quint8(0));
    QVERIFY(port->availablePorts().isEmpty());
    QCOMPARE(w.form()->tabWidget->currentIndex(), 0);
    QCOMPARE(int(w.currentPair()), 2);
    const Outcome replayed = outcomeOf(w, prompts, dir.filePath("replayed"));
    QCOMPARE(replayed.table, live.table);
    QVERIFY(replayed.tableImage == live.tableImage);
    QCOMPARE(replayed.nljd, live.nljd);
    QCOMPARE(replayed.refl, live.refl);
    QCOMPARE(replayed.lfa, live.lfa);
    // What the replay did not send is what the user's press of the test button sent: its start, and
    // the pair select that follows when the button pops out with the result.
    const QStringList d = port->differences();
    QCOMPARE(d.size(), 2);
    QVERIFY2(d[0].endsWith("the recording sent 46 04 (F), this run did not"), qPrintable(d[0]));
    QVERIFY2(d[1].endsWith("the recording sent 49 01 01 04 (I), this run did not"), qPrintable(d[1]));
}

void TestReplay::speedSetsThePace_data()
{
    QTest::addColumn<double>("speed");
    QTest::newRow("recorded pace") << 1.0;
    QTest::newRow("ten times") << 10.0;
    QTest::newRow("two and a half") << 2.5;
}

void TestReplay::speedSetsThePace()
{
    QFETCH(double, speed);
    LinkRecording recording;
    QString why;
    QVERIFY2(LinkRecording::parse(shortSession(), &recording, &why), qPrintable(why));
    Listener l(recording, speed);
    l.openAndConnect();
    QTRY_VERIFY_WITH_TIMEOUT(l.port.hasEnded(), 10000);
    QCOMPARE(l.received, ConnectAnswer + Battery + Poll);
    // The last bytes are 2 s into the recording.
    const double due = 2000 / speed;
    QVERIFY2(l.lastByteMs >= due - 2 && l.lastByteMs < due * 1.5 + 300,
             qPrintable(QString::number(l.lastByteMs)));
    QCOMPARE(l.port.positionMs() >= 2005, true);
    QCOMPARE(l.errors, QList<QSerialPort::SerialPortError>{QSerialPort::ResourceError});
    QVERIFY(l.port.differences().isEmpty());
    QCOMPARE(l.port.write(Poll), qint64(-1));
}

void TestReplay::cutRecordingPlaysToItsCut_data()
{
    QTest::addColumn<int>("cut"); // bytes taken off the end
    QTest::addColumn<int>("records");
    QTest::addColumn<Bytes>("played");
    const int lastRecord = 7 + Poll.size();
    QTest::newRow("whole") << 0 << 4 << ConnectAnswer + Battery + Poll;
    QTest::newRow("inside the last bytes") << 1 << 3 << ConnectAnswer + Battery;
    QTest::newRow("inside a record's head") << lastRecord - 3 << 3 << ConnectAnswer + Battery;
    QTest::newRow("at a record's end") << lastRecord << 3 << ConnectAnswer + Battery;
}

void TestReplay::cutRecordingPlaysToItsCut()
{
    QFETCH(int, cut);
    QFETCH(int, records);
    QFETCH(Bytes, played);
    const Bytes file = shortSession();
    LinkRecording recording;
    QString why;
    QVERIFY2(LinkRecording::parse(file.left(file.size() - cut), &recording, &why), qPrintable(why));
    QCOMPARE(recording.records.size(), records);
    QCOMPARE(recording.cutShort, cut != 0 && cut != 7 + Poll.size());
    Listener l(recording, 100);
    l.openAndConnect();
    QTRY_VERIFY(l.port.hasEnded());
    QCOMPARE(l.received, played);
    QCOMPARE(l.errors.size(), 1);
}

void TestReplay::badFileIsRefused_data()
{
    QTest::addColumn<Bytes>("content");
    QTest::addColumn<QString>("reason");
    const Bytes good = shortSession();
    QTest::newRow("a text file") << Bytes("hello, this is not a recording\n") << "not a KV847 link recording";
    QTest::newRow("empty") << Bytes() << "not a KV847 link recording";
    QTest::newRow("header cut") << good.left(20) << "the header is cut short";
    QTest::newRow("later format") << header(2) + good.mid(header().size()) << "recording format version 2";
    Bytes damaged = good;
    damaged[header().size() + 4] = 7; // direction of the first record
    QTest::newRow("damaged record") << damaged << "record 1 at byte 27 is damaged";
    QTest::newRow("program side only") << header() + record(5, 0, Frame::encode(Bytes("U\x01", 2)))
                                       << "the recording holds nothing the analyser said";
    QTest::newRow("missing") << Bytes("-") << "cannot open";
}

void TestReplay::badFileIsRefused()
{
    QFETCH(Bytes, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("in.kvrec");
    if (content != "-")
        QVERIFY(writeFile(path, content));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(KV847_PATH, {"--replay", path});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(err.contains("kv847: cannot replay " + path + ": " + reason), qPrintable(err));
}

QTEST_MAIN(TestReplay)
#include "tst_replay.moc"
