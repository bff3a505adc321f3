#include "link/framecodec.h"
#include "link/linkwatchdog.h"
#include "link/serialanalyserport.h"
#include "sim/cablemodel.h"
#include "sim/standardmodes.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

#include <set>

Q_DECLARE_METATYPE(QSerialPort::SerialPortError)

namespace
{
QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(v));
    return b;
}

// A status as the program receives it: nine bytes and the receiver's trailing zero.
QByteArray status(int mode, int a, int b, int level, int charging)
{
    return bytes({'S', mode, a, b, 0, 0, level, charging, 0, 0});
}

// The program's side of an in-process link: writes framed commands and collects what is delivered.
struct Host {
    VirtualAnalyser analyser;
    VirtualAnalyserPort port{analyser};
    FrameReceiver rx;
    QList<QByteArray> received; // payloads as delivered, with the trailing zero
    QByteArray raw;             // every byte that arrived

    explicit Host(quint32 seed = CableModel::DefaultSeed)
        : analyser(seed, nullptr, VirtualAnalyser::Modes::CoreOnly)
    {
        analyser.setAutoTalk(false);
        port.setPortName(VirtualAnalyserPort::defaultPortName());
        port.open(QIODevice::ReadWrite);
        QObject::connect(&port, &AnalyserPort::readyRead, &port, [this] {
            const QByteArray in = port.readAll();
            raw += in;
            for (char c : in)
                if (rx.feed(quint8(c)))
                    received.append(rx.takePayload());
        });
    }
    void send(const QByteArray& payload) { QVERIFY(port.write(Frame::encode(payload)) > 0); }
    // Lets replies queued by the port arrive.
    void settle() { QTest::qWait(10); }
    void connectNow()
    {
        send(bytes({'U', 1}));
        settle();
        QVERIFY(analyser.isConnected());
        received.clear();
        raw.clear();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            analyser.tick();
        settle();
    }
    int count(char kind) const
    {
        return int(std::count_if(received.begin(), received.end(),
                                 [kind](const QByteArray& p) { return p.at(0) == kind; }));
    }
    QByteArray lastOf(char kind) const
    {
        for (auto it = received.crbegin(); it != received.crend(); ++it)
            if (it->at(0) == kind)
                return *it;
        return QByteArray();
    }
};

// Undoes the byte stuffing of one frame's body (between start and end): length, payload, sum.
// Empty when the body holds an escape that is not one of the three pairs.
QByteArray unstuff(const QByteArray& body)
{
    QByteArray out;
    for (int i = 0; i < body.size(); ++i) {
        quint8 b = quint8(body.at(i));
        if (b == Frame::Escape) {
            const quint8 n = i + 1 < body.size() ? quint8(body.at(++i)) : 0;
            if (n < 0xDC || n > 0xDE)
                return QByteArray();
            b = n == 0xDC ? 0xC0 : n == 0xDD ? 0xC1 : 0xDB;
        }
        out.append(char(b));
    }
    return out;
}

QString describe(const CableModel& m)
{
    QString s = QString::number(m.lengthM()) + '\n';
    for (int a = 1; a <= 8; ++a)
        for (int b = a + 1; b <= 9; ++b) {
            s += QStringLiteral("%1-%2:").arg(a).arg(b);
            for (const LineFault& f : m.faultsOf(a, b))
                s += QStringLiteral(" %1@%2")
                         .arg(f.kind == LineFault::Kind::Open ? "open" : "short")
                         .arg(f.distanceM);
            const LineVoltage v = m.voltageOf(a, b);
            s += QStringLiteral(" j%1 dc%2 ac%3 n%4")
                     .arg(m.junctionOf(a, b))
                     .arg(v.dc)
                     .arg(v.ac)
                     .arg(m.noiseOf(a, b));
            for (const Carrier& c : m.carriersOf(a, b))
                s += QStringLiteral(" c%1/%2").arg(c.freqCode).arg(c.levelDb);
            s += '\n';
        }
    return s;
}

// Records what the analyser core hands to a mode.
struct FakeMode : ModeHandler {
    int enteredCount = 0, leftCount = 0, tickCount = 0, pairCount = 0;
    QList<QByteArray> commands;

    void entered(VirtualAnalyser&) override { ++enteredCount; }
    void left(VirtualAnalyser&) override { ++leftCount; }
    bool command(VirtualAnalyser&, const QByteArray& payload) override
    {
        if (payload.at(0) != 'N')
            return false;
        commands.append(payload);
        return true;
    }
    void fillStatus(const VirtualAnalyser&, QByteArray& s) const override
    {
        s[8] = 0x2A;
        s.append(char(0x77));
    }
    void tick(VirtualAnalyser&) override { ++tickCount; }
    void pairChanged(VirtualAnalyser&) override { ++pairCount; }
};
} // namespace

class TestSim : public QObject
{
    Q_OBJECT
private slots:
    // Connect, keep-alive, mode and pair.
    void connectAnswer_data();
    void connectAnswer();
    void repliesArriveFromTheEventLoop();
    void ignoredBeforeConnect_data();
    void ignoredBeforeConnect();
    void statusFollowsCommands_data();
    void statusFollowsCommands();
    void firmwareModeSendsNoStatus();
    void statusOnlyWhenSettingsChange_data();
    void statusOnlyWhenSettingsChange();
    void batteryReportsAndDrains();
    void silentAfterDisconnect();
    void talksAtItsOwnPace();
    void reportPairSendsStatusAtOnce();
    void modeHandlersAreConsulted();

    // Fault injection.
    void silentFault();
    void unplugFault();
    void garbageProducesNoFrames();
    void garbageBetweenFramesLeavesThemIntact();
    void badChecksumFramesAreDropped_data();
    void badChecksumFramesAreDropped();
    void lateConnectAnswer();
    void lateAnswerCancelledByDisconnect();
    void neverAnswer();

    // The port and the watchdog.
    void setupFailuresReachTheWatchdog_data();
    void setupFailuresReachTheWatchdog();
    void waitForBytesWrittenDrains();
    void sentPayloadsAreDecoded();
    void watchdogKeepsLinkAliveUntilSilence();

    // The cable.
    void pairIndex_data();
    void pairIndex();
    void cableDeterministicPerSeed();
    void cableInvariants_data();
    void cableInvariants();
    void parseFirmwareVersion_data();
    void parseFirmwareVersion();

    // The kv847-sim tool through a real serial port.
    void simOverPseudoTerminal();
    void simRejectsBadOptions_data();
    void simRejectsBadOptions();
};

void TestSim::connectAnswer_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QByteArray>("delivered");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("default 2.05") << -1 << -1 << bytes({'S', 1, 2, 5, 0})
                                  << bytes({0xC0, 4, 0x53, 1, 2, 5, 0x5B, 0xC1});
    QTest::newRow("3.17") << 3 << 17 << bytes({'S', 1, 3, 17, 0})
                          << bytes({0xC0, 4, 0x53, 1, 3, 0x11, 0x68, 0xC1});
    QTest::newRow("stuffed version bytes") << 0xC0 << 0xDB << bytes({'S', 1, 0xC0, 0xDB, 0})
                                           << bytes({0xC0, 4, 0x53, 1, 0xDB, 0xDC, 0xDB, 0xDE, 0xEF, 0xC1});
}

void TestSim::connectAnswer()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QByteArray, delivered);
    QFETCH(QByteArray, wire);
    Host h;
    if (major >= 0)
        h.analyser.setFirmwareVersion(quint8(major), quint8(minor));
    h.send(bytes({'U', 1}));
    h.settle();
    QCOMPARE(h.raw, wire);
    QCOMPARE(h.received, QList<QByteArray>{delivered});
    QVERIFY(h.analyser.isConnected());

    // A keep-alive poll is echoed.
    h.received.clear();
    h.send("#");
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{bytes({'#', 0})});
}

void TestSim::repliesArriveFromTheEventLoop()
{
    Host h;
    QSignalSpy ready(&h.port, &AnalyserPort::readyRead);
    h.send(bytes({'U', 1}));
    // Nothing may come back inside write(): the program's receive loop would be re-entered.
    QCOMPARE(ready.count(), 0);
    QVERIFY(h.port.atEnd());
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 2000);
    QCOMPARE(h.received.size(), 1);
    QVERIFY(h.port.atEnd());
}

void TestSim::ignoredBeforeConnect_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("keep-alive") << QByteArray("#");
    QTest::newRow("mode select") << bytes({'R', 6});
    QTest::newRow("pair select") << bytes({'I', 1, 1, 2});
    QTest::newRow("disconnect") << bytes({'U', 0});
}

void TestSim::ignoredBeforeConnect()
{
    QFETCH(QByteArray, command);
    Host h;
    h.send(command);
    h.ticks(VirtualAnalyser::TicksPerBattery);
    QVERIFY(h.raw.isEmpty());
    QVERIFY(!h.analyser.isConnected());

    // The command had no effect: after connecting the analyser reports its power-up state.
    h.connectNow();
    h.ticks(1);
    QCOMPARE(h.received, QList<QByteArray>{status(4, 0, 0, 5, 0)});
}

void TestSim::statusFollowsCommands_data()
{
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("charging");
    QTest::addColumn<QByteArray>("expected");
    using L = QList<QByteArray>;
    QTest::newRow("power-up") << L{} << -1 << false << status(4, 0, 0, 5, 0);
    QTest::newRow("NLJD") << L{bytes({'R', 6})} << -1 << false << status(6, 0, 0, 5, 0);
    QTest::newRow("REFL on pair 3-5")
        << L{bytes({'R', 7}), bytes({'I', 1, 3, 5})} << -1 << false << status(7, 3, 5, 5, 0);
    QTest::newRow("shield pair") << L{bytes({'I', 1, 2, 9})} << -1 << false << status(4, 2, 9, 5, 0);
    QTest::newRow("pair cleared") << L{bytes({'I', 1, 1, 2}), bytes({'I', 1, 0, 0})} << -1 << false
                                  << status(4, 0, 0, 5, 0);
    QTest::newRow("report tab code 8 kept out")
        << L{bytes({'R', 5}), bytes({'R', 8})} << -1 << false << status(5, 0, 0, 5, 0);
    QTest::newRow("update tab code 9 kept out")
        << L{bytes({'R', 6}), bytes({'R', 9})} << -1 << false << status(6, 0, 0, 5, 0);
    QTest::newRow("R without code") << L{QByteArray("R")} << -1 << false << status(4, 0, 0, 5, 0);
    QTest::newRow("same wire twice") << L{bytes({'I', 1, 3, 4}), bytes({'I', 1, 5, 5})} << -1 << false
                                     << status(4, 3, 4, 5, 0);
    QTest::newRow("wires reversed") << L{bytes({'I', 1, 3, 4}), bytes({'I', 1, 6, 2})} << -1 << false
                                    << status(4, 3, 4, 5, 0);
    QTest::newRow("wire past the shield")
        << L{bytes({'I', 1, 3, 10})} << -1 << false << status(4, 0, 0, 5, 0);
    QTest::newRow("I sub-command other than 1")
        << L{bytes({'I', 2, 1, 2})} << -1 << false << status(4, 0, 0, 5, 0);
    QTest::newRow("unknown kinds") << L{QByteArray("Z"), bytes({'X', 1, 2}), bytes({'D', 0})} << -1 << false
                                   << status(4, 0, 0, 5, 0);
    QTest::newRow("battery 3, charging") << L{bytes({'R', 5})} << 3 << true << status(5, 0, 0, 3, 1);
    QTest::newRow("battery empty") << L{} << 0 << false << status(4, 0, 0, 0, 0);
}

void TestSim::statusFollowsCommands()
{
    QFETCH(QList<QByteArray>, commands);
    QFETCH(int, level);
    QFETCH(bool, charging);
    QFETCH(QByteArray, expected);
    Host h;
    if (level >= 0)
        h.analyser.setBattery(quint8(level), charging);
    h.connectNow();
    for (const QByteArray& c : commands)
        h.send(c);
    h.settle();
    // Commands are answered by the next status, not by one of their own.
    QVERIFY(h.received.isEmpty());
    h.ticks(1);
    QCOMPARE(h.received, QList<QByteArray>{expected});
    QVERIFY(h.analyser.isConnected());
}

void TestSim::firmwareModeSendsNoStatus()
{
    Host h;
    h.connectNow();
    h.send(bytes({'R', 1}));
    h.ticks(2 * VirtualAnalyser::TicksPerBattery);
    // A status with byte 1 = 1 would read as a new connect answer.
    QCOMPARE(h.count('S'), 0);
    QCOMPARE(h.count('B'), 2);
    h.received.clear();
    h.send("#");
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{bytes({'#', 0})});

    h.received.clear();
    h.send(bytes({'R', 6}));
    h.ticks(1);
    QCOMPARE(h.received, QList<QByteArray>{status(6, 0, 0, 5, 0)});
}

void TestSim::batteryReportsAndDrains()
{
    Host h;
    h.connectNow();
    h.ticks(2 * VirtualAnalyser::TicksPerBattery);
    // The status once, as nothing in it changed; the battery every TicksPerBattery beats.
    QCOMPARE(h.count('S'), 1);
    QCOMPARE(h.count('B'), 2);
    const QByteArray b = h.lastOf('B');
    QCOMPARE(b.size(), 4);
    QCOMPARE(quint8(b.at(1)), h.analyser.batteryLevel());

    // A long run: the level falls to the bottom, charging starts, the level climbs back and charging stops.
    h.received.clear();
    h.ticks(2000 * VirtualAnalyser::TicksPerBattery);
    int previous = 5;
    bool sawCharging = false, sawStopAfterCharging = false, reachedLow = false;
    for (const QByteArray& p : qAsConst(h.received)) {
        if (p.at(0) != 'B')
            continue;
        const int level = quint8(p.at(1));
        const bool chg = p.at(2) != 0;
        QVERIFY2(level >= 1 && level <= 5, qPrintable(QString::number(level)));
        QVERIFY(qAbs(level - previous) <= 1);
        reachedLow = reachedLow || level == 1;
        if (chg)
            sawCharging = true;
        else if (sawCharging)
            sawStopAfterCharging = true;
        previous = level;
    }
    QVERIFY(reachedLow);
    QVERIFY(sawCharging);
    QVERIFY(sawStopAfterCharging);
    // Battery news alone do not repeat the status; the next status carries the same battery as the
    // last battery message.
    QCOMPARE(h.count('S'), 0);
    h.received.clear();
    h.send(bytes({'I', 1, 4, 6}));
    h.ticks(1);
    QCOMPARE(h.count('S'), 1);
    const QByteArray lastS = h.lastOf('S');
    QCOMPARE(quint8(lastS.at(6)), h.analyser.batteryLevel());
    QCOMPARE(lastS.at(7) != 0, h.analyser.isCharging());
}

void TestSim::statusOnlyWhenSettingsChange_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("setting");
    QTest::newRow("LFA time base") << 4 << bytes({'O', 13, 3, 0});
    QTest::newRow("NLJD level") << 6 << bytes({'N', 1, 4, 0});
    QTest::newRow("REFL factor") << 7 << bytes({'F', 1, 1, 60, 0});
}

void TestSim::statusOnlyWhenSettingsChange()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, setting);
    Host h;
    registerStandardModes(h.analyser);
    h.connectNow();
    h.send(bytes({'R', quint8(mode)}));
    h.ticks(2 * VirtualAnalyser::TicksPerBattery);
    QCOMPARE(h.count('S'), 1);
    h.received.clear();
    h.send(setting);
    h.ticks(VirtualAnalyser::TicksPerBattery);
    QCOMPARE(h.count('S'), 1);
    QCOMPARE(quint8(h.lastOf('S').at(1)), quint8(mode));
}

void TestSim::silentAfterDisconnect()
{
    Host h;
    h.connectNow();
    h.send(bytes({'U', 0}));
    h.send("#");
    h.ticks(2 * VirtualAnalyser::TicksPerBattery);
    QVERIFY(h.raw.isEmpty());
    QVERIFY(!h.analyser.isConnected());

    h.send(bytes({'U', 1}));
    h.ticks(1);
    QCOMPARE(h.received, (QList<QByteArray>{bytes({'S', 1, 2, 5, 0}), status(4, 0, 0, 5, 0)}));
}

void TestSim::talksAtItsOwnPace()
{
    Host h;
    h.analyser.setTalkInterval(20);
    h.analyser.setAutoTalk(true);
    h.settle();
    QVERIFY(h.raw.isEmpty()); // no talking before the connect request
    h.connectNow();
    // The status at once, then the battery at its pace.
    QTRY_VERIFY_WITH_TIMEOUT(h.count('B') >= 2, 3000);
    QCOMPARE(h.count('S'), 1);

    h.send(bytes({'U', 0}));
    h.settle();
    h.received.clear();
    QTest::qWait(200);
    QVERIFY(h.received.isEmpty());
}

void TestSim::reportPairSendsStatusAtOnce()
{
    Host h;
    h.analyser.reportPair(2, 7); // not connected: switches, says nothing
    h.settle();
    QVERIFY(h.raw.isEmpty());
    h.connectNow();
    h.ticks(1);
    QCOMPARE(h.received, QList<QByteArray>{status(4, 2, 7, 5, 0)});

    h.received.clear();
    h.analyser.reportPair(5, 9);
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{status(4, 5, 9, 5, 0)});
    h.analyser.reportPair(5, 5); // no such pair
    h.settle();
    QCOMPARE(h.received.size(), 1);
}

void TestSim::modeHandlersAreConsulted()
{
    Host h;
    auto owned = std::make_unique<FakeMode>();
    FakeMode* nljd = owned.get();
    h.analyser.registerMode(VirtualAnalyser::ModeNljd, std::move(owned));
    h.connectNow();

    h.send(bytes({'R', 6}));
    h.send(bytes({'N', 1, 3}));
    h.send(bytes({'I', 1, 1, 2}));
    h.ticks(1);
    QCOMPARE(nljd->enteredCount, 1);
    QCOMPARE(nljd->commands, QList<QByteArray>{bytes({'N', 1, 3})});
    QCOMPARE(nljd->pairCount, 1);
    QCOMPARE(nljd->tickCount, 1);
    QCOMPARE(h.received, QList<QByteArray>{bytes({'S', 6, 1, 2, 0, 0, 5, 0, 0x2A, 0x77, 0})});

    // In another mode the handler neither ticks nor shapes the status, but still takes its commands.
    h.received.clear();
    h.send(bytes({'R', 7}));
    h.send(bytes({'N', 2}));
    h.ticks(1);
    QCOMPARE(nljd->leftCount, 1);
    QCOMPARE(nljd->tickCount, 1);
    QCOMPARE(nljd->commands.size(), 2);
    QCOMPARE(h.received, QList<QByteArray>{status(7, 1, 2, 5, 0)});

    // Registering a code makes it a mode the analyser obeys.
    QVERIFY(!h.analyser.isKnownMode(8));
    h.analyser.registerMode(8, std::make_unique<ModeHandler>());
    h.received.clear();
    h.send(bytes({'R', 8}));
    h.ticks(1);
    QCOMPARE(h.received, QList<QByteArray>{status(8, 1, 2, 5, 0)});
}

void TestSim::silentFault()
{
    Host h;
    h.connectNow();
    h.analyser.setSilent(true);
    h.send("#");
    h.send(bytes({'R', 6}));
    h.send(bytes({'U', 1}));
    h.ticks(2 * VirtualAnalyser::TicksPerBattery);
    QVERIFY(h.raw.isEmpty());
    // The device is still there, only hung.
    QCOMPARE(h.port.availablePorts().size(), 1);
    QVERIFY(h.port.isOpen());

    h.analyser.setSilent(false);
    h.send("#");
    h.ticks(1);
    // What it was sent while hung was lost.
    QCOMPARE(h.received, (QList<QByteArray>{bytes({'#', 0}), status(4, 0, 0, 5, 0)}));
}

void TestSim::unplugFault()
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    Host h;
    h.connectNow();
    QSignalSpy errors(&h.port, &AnalyserPort::errorOccurred);
    h.send("#"); // its answer is in flight when the cable is pulled
    h.port.unplug();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).value<QSerialPort::SerialPortError>(), QSerialPort::ResourceError);
    QVERIFY(h.port.availablePorts().isEmpty());
    QCOMPARE(h.port.write(Frame::encode("#")), qint64(-1));
    h.ticks(VirtualAnalyser::TicksPerBattery);
    QVERIFY(h.raw.isEmpty());

    h.port.close();
    h.port.setPortName(VirtualAnalyserPort::defaultPortName());
    QVERIFY(!h.port.open(QIODevice::ReadWrite));

    h.port.plug();
    const QList<PortInfo> ports = h.port.availablePorts();
    QCOMPARE(ports.size(), 1);
    QCOMPARE(ports.at(0).manufacturer, QStringLiteral("FTDI"));
    QVERIFY(h.port.open(QIODevice::ReadWrite));
    // A re-plugged analyser waits for a new connect request.
    h.send("#");
    h.settle();
    QVERIFY(h.raw.isEmpty());
    h.send(bytes({'U', 1}));
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{bytes({'S', 1, 2, 5, 0})});
}

void TestSim::garbageProducesNoFrames()
{
    Host h;
    h.connectNow();
    for (int i = 0; i < 20; ++i)
        h.analyser.sendGarbage(250);
    h.settle();
    QCOMPARE(h.raw.size(), 20 * 250);
    QVERIFY(h.raw.contains(char(Frame::Start))); // it does open frames, it just never completes one
    QVERIFY(h.received.isEmpty());

    // The next real frame still gets through.
    h.send("#");
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{bytes({'#', 0})});
}

void TestSim::garbageBetweenFramesLeavesThemIntact()
{
    Host clean, noisy;
    noisy.analyser.setGarbage(true);
    for (Host* h : {&clean, &noisy}) {
        h->send(bytes({'U', 1}));
        h->send(bytes({'I', 1, 4, 6}));
        h->send("#");
        h->ticks(3 * VirtualAnalyser::TicksPerBattery);
    }
    // Connect answer, "#" answer, one status, three battery messages.
    QCOMPARE(clean.received.size(), 2 + 1 + 3);
    QCOMPARE(noisy.received, clean.received);
    QVERIFY(noisy.raw.size() > clean.raw.size());
}

void TestSim::badChecksumFramesAreDropped_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("goodSum");
    QTest::newRow("plain sum") << 2 << 5 << 0x5B;
    QTest::newRow("sum C0") << 100 << 8 << 0xC0;
    QTest::newRow("sum C1") << 100 << 9 << 0xC1;
    QTest::newRow("sum DB") << 100 << 35 << 0xDB;
}

void TestSim::badChecksumFramesAreDropped()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, goodSum);
    Host h;
    h.analyser.setFirmwareVersion(quint8(major), quint8(minor));
    h.analyser.setBadChecksum(true);
    h.send(bytes({'U', 1}));
    h.settle();
    QVERIFY(h.received.isEmpty());

    // A well-formed frame with the right payload and only the sum wrong.
    QVERIFY(h.raw.size() >= 5);
    QCOMPARE(quint8(h.raw.front()), Frame::Start);
    QCOMPARE(quint8(h.raw.back()), Frame::End);
    const QByteArray body = h.raw.mid(1, h.raw.size() - 2);
    QVERIFY(!body.contains(char(Frame::Start)) && !body.contains(char(Frame::End)));
    const QByteArray fields = unstuff(body);
    QCOMPARE(fields.left(5), bytes({4, 'S', 1, major, minor}));
    QCOMPARE(fields.size(), 6);
    QVERIFY(quint8(fields.at(5)) != quint8(goodSum));

    h.raw.clear();
    h.ticks(VirtualAnalyser::TicksPerBattery);
    QVERIFY(!h.raw.isEmpty());
    QVERIFY(h.received.isEmpty());

    h.analyser.setBadChecksum(false);
    h.send("#");
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{bytes({'#', 0})});
}

void TestSim::lateConnectAnswer()
{
    Host h;
    h.analyser.setConnectDelay(300);
    QElapsedTimer clock;
    clock.start();
    h.send(bytes({'U', 1}));
    h.settle();
    QVERIFY(h.received.isEmpty());
    QVERIFY(!h.analyser.isConnected());
    QTRY_VERIFY_WITH_TIMEOUT(!h.received.isEmpty(), 3000);
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(h.received, QList<QByteArray>{bytes({'S', 1, 2, 5, 0})});
    QVERIFY(h.analyser.isConnected());
}

void TestSim::lateAnswerCancelledByDisconnect()
{
    Host h;
    h.analyser.setConnectDelay(100);
    h.send(bytes({'U', 1}));
    h.send(bytes({'U', 0}));
    QTest::qWait(400);
    QVERIFY(h.raw.isEmpty());
    QVERIFY(!h.analyser.isConnected());

    // Closing the port (the host going away) cancels it too.
    h.send(bytes({'U', 1}));
    h.port.close();
    QVERIFY(h.port.open(QIODevice::ReadWrite));
    QTest::qWait(400);
    QVERIFY(h.raw.isEmpty());
}

void TestSim::neverAnswer()
{
    Host h;
    h.analyser.setConnectDelay(VirtualAnalyser::NeverAnswer);
    h.send(bytes({'U', 1}));
    QTest::qWait(300);
    h.ticks(VirtualAnalyser::TicksPerBattery);
    QVERIFY(h.raw.isEmpty());
    QVERIFY(!h.analyser.isConnected());

    h.analyser.setConnectDelay(0);
    h.send(bytes({'U', 1}));
    h.settle();
    QCOMPARE(h.received, QList<QByteArray>{bytes({'S', 1, 2, 5, 0})});
}

void TestSim::setupFailuresReachTheWatchdog_data()
{
    QTest::addColumn<int>("setting"); // -1: open itself
    QTest::addColumn<QString>("error");
    QTest::newRow("open") << -1 << QStringLiteral("Permission denied");
    const char* names[] = {"baud", "DTR", "RTS", "parity", "stop bits", "data bits", "flow control"};
    for (int s = 0; s <= int(VirtualAnalyserPort::Setting::FlowControl); ++s)
        QTest::newRow(names[s]) << s << QStringLiteral("%1 refused").arg(names[s]);
}

void TestSim::setupFailuresReachTheWatchdog()
{
    QFETCH(int, setting);
    QFETCH(QString, error);
    VirtualAnalyser analyser;
    VirtualAnalyserPort port(analyser);
    LinkWatchdog watchdog(port);
    QSignalSpy failed(&watchdog, &LinkWatchdog::setupFailed);
    QObject::connect(&watchdog, &LinkWatchdog::send, &port,
                     [&](const QByteArray& p) { port.write(Frame::encode(p)); });
    if (setting < 0)
        port.setOpenFailure(error);
    else
        port.setSettingFailure(VirtualAnalyserPort::Setting(setting), error);

    watchdog.step(false);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), error);
    QVERIFY(port.sentPayloads().isEmpty());
    QCOMPARE(watchdog.linkState(), quint8(0));
    QCOMPARE(port.isOpen(), setting >= 0);

    // With the failure gone the next attempt connects and configures the link.
    port.setOpenFailure(QString());
    if (setting >= 0) {
        port.setSettingFailure(VirtualAnalyserPort::Setting(setting), QString());
        port.close();
    }
    watchdog.step(false);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(port.sentPayloads(), QList<QByteArray>{bytes({'U', 1})});
    QCOMPARE(port.settings().baudRate, 921600);
    QVERIFY(port.settings().dataTerminalReady && port.settings().requestToSend);
}

void TestSim::waitForBytesWrittenDrains()
{
    Host h;
    QVERIFY(!h.port.waitForBytesWritten(100));
    h.send(bytes({'U', 0}));
    // The program waits while the port reports bytes written; that loop must end.
    int rounds = 0;
    while (h.port.waitForBytesWritten(100) && rounds < 10)
        ++rounds;
    QCOMPARE(rounds, 1);
}

void TestSim::sentPayloadsAreDecoded()
{
    Host h;
    const QByteArray two = Frame::encode(bytes({'U', 1})) + Frame::encode(bytes({'I', 1, 0xC0, 0xDB}));
    const QByteArray split = Frame::encode(bytes({'R', 0xC1}));
    QCOMPARE(h.port.write(two), qint64(two.size()));
    h.port.write(split.left(3));
    QCOMPARE(h.port.sentPayloads().size(), 2);
    h.port.write(split.mid(3));
    QCOMPARE(h.port.sentPayloads(),
             (QList<QByteArray>{bytes({'U', 1}), bytes({'I', 1, 0xC0, 0xDB}), bytes({'R', 0xC1})}));
    h.port.clearSent();
    QVERIFY(h.port.sentPayloads().isEmpty());

    // A closed port takes nothing.
    h.port.close();
    QCOMPARE(h.port.write(Frame::encode("#")), qint64(-1));
    QVERIFY(h.port.sentPayloads().isEmpty());
}

void TestSim::watchdogKeepsLinkAliveUntilSilence()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    VirtualAnalyserPort port(analyser);
    LinkWatchdog watchdog(port);
    FrameReceiver rx;
    QObject::connect(&watchdog, &LinkWatchdog::send, &port,
                     [&](const QByteArray& p) { port.write(Frame::encode(p)); });
    QObject::connect(&port, &AnalyserPort::readyRead, &port, [&] {
        for (char c : port.readAll())
            if (rx.feed(quint8(c)))
                watchdog.heard();
    });
    QSignalSpy dropped(&watchdog, &LinkWatchdog::dropRequested);

    watchdog.step(false);
    QCOMPARE(watchdog.linkState(), quint8(1));
    QTRY_COMPARE_WITH_TIMEOUT(watchdog.linkState(), quint8(2), 2000);
    for (int i = 0; i < 40; ++i) {
        watchdog.step(false);
        QTest::qWait(2);
        QVERIFY2(watchdog.linkState() <= 4, qPrintable(QString::number(watchdog.linkState())));
    }
    QCOMPARE(dropped.count(), 0);
    QVERIFY(port.sentPayloads().count(QByteArray("#")) > 30);

    analyser.setSilent(true);
    for (int i = 0; i < 11 && dropped.isEmpty(); ++i) {
        watchdog.step(false);
        QTest::qWait(2);
    }
    QCOMPARE(dropped.count(), 1);
}

void TestSim::pairIndex_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("index");
    QTest::newRow("1-2") << 1 << 2 << 1;
    QTest::newRow("1-8") << 1 << 8 << 7;
    QTest::newRow("2-3") << 2 << 3 << 8;
    QTest::newRow("6-8") << 6 << 8 << 27;
    QTest::newRow("7-8") << 7 << 8 << 28;
    QTest::newRow("1-shield") << 1 << 9 << 29;
    QTest::newRow("8-shield") << 8 << 9 << 36;
    QTest::newRow("reversed") << 8 << 7 << 28;
    QTest::newRow("same wire") << 3 << 3 << 0;
    QTest::newRow("shield alone") << 9 << 9 << 0;
    QTest::newRow("wire 0") << 0 << 5 << 0;
    QTest::newRow("wire 10") << 3 << 10 << 0;
    QTest::newRow("negative") << -1 << 2 << 0;
}

void TestSim::pairIndex()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, index);
    QCOMPARE(CableModel::pairIndex(a, b), index);
}

void TestSim::cableDeterministicPerSeed()
{
    // Every pair gets its own number: none shared, none missing.
    std::set<int> indices;
    for (int a = 1; a <= 8; ++a)
        for (int b = a + 1; b <= 9; ++b)
            indices.insert(CableModel::pairIndex(a, b));
    QCOMPARE(int(indices.size()), CableModel::PairCount);
    QCOMPARE(*indices.begin(), 1);
    QCOMPARE(*indices.rbegin(), CableModel::PairCount);

    const QString reference = describe(CableModel());
    QCOMPARE(describe(CableModel(CableModel::DefaultSeed)), reference);
    QCOMPARE(VirtualAnalyser().cable().seed(), CableModel::DefaultSeed);
    for (quint32 other : {0u, 1u, 2u, 848u, 0xFFFFFFFFu})
        QVERIFY2(describe(CableModel(other)) != reference, qPrintable(QString::number(other)));
    QVERIFY(describe(CableModel(1)) != describe(CableModel(2)));
}

void TestSim::cableInvariants_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 s : {0u, 1u, 847u, 4242u, 123456789u, 0xFFFFFFFFu})
        QTest::newRow(qPrintable(QString::number(s))) << s;
}

void TestSim::cableInvariants()
{
    QFETCH(quint32, seed);
    const CableModel m(seed);
    QVERIFY(m.lengthM() >= 300 && m.lengthM() <= CableModel::MaxLengthM);
    int opens = 0, shorts = 0, junctions = 0, live = 0, over = 0, noisy = 0, carrierPairs = 0, intact = 0;
    for (int a = 1; a <= 8; ++a)
        for (int b = a + 1; b <= 9; ++b) {
            const QList<LineFault> faults = m.faultsOf(a, b);
            QCOMPARE(m.faultsOf(b, a), faults);
            double last = 0;
            for (const LineFault& f : faults) {
                QVERIFY(f.distanceM > 0 && f.distanceM < m.lengthM());
                QVERIFY(f.distanceM >= last);
                last = f.distanceM;
                (f.kind == LineFault::Kind::Open ? opens : shorts)++;
            }
            const double j = m.junctionOf(a, b);
            QVERIFY(j >= 0 && j <= 1);
            const LineVoltage v = m.voltageOf(a, b);
            QVERIFY(v.ac >= 0);
            const bool hasVoltage = v.dc != 0 || v.ac != 0;
            if (m.isOverVoltage(a, b)) {
                ++over;
                QVERIFY(qAbs(v.dc) + v.ac * 1.4143 > CableModel::VoltageLimit);
            } else if (hasVoltage) {
                ++live;
            }
            const QList<Carrier> carriers = m.carriersOf(a, b);
            for (int k = 0; k < carriers.size(); ++k) {
                QVERIFY(carriers[k].freqCode >= CableModel::MinFreqCode &&
                        carriers[k].freqCode <= CableModel::MaxFreqCode);
                QVERIFY(carriers[k].levelDb > 0 && carriers[k].levelDb < 64);
                if (k > 0)
                    QVERIFY(carriers[k].freqCode >= carriers[k - 1].freqCode);
            }
            junctions += j > 0;
            noisy += m.noiseOf(a, b) > 0;
            carrierPairs += !carriers.isEmpty();
            intact += faults.isEmpty() && j == 0 && !hasVoltage && m.noiseOf(a, b) == 0 && carriers.isEmpty();
        }
    QVERIFY(opens >= 1);
    QVERIFY(shorts >= 1);
    QVERIFY(junctions >= 1);
    QCOMPARE(over, 1);
    QVERIFY(live >= 1);
    QVERIFY(noisy >= 1);
    QVERIFY(carrierPairs >= 1);
    QVERIFY(intact >= 1);

    // Whatever is not one of the 36 pairs reads as intact.
    for (auto [a, b] : {std::pair{0, 1}, {3, 3}, {9, 9}, {4, 10}, {-2, 5}}) {
        QVERIFY(m.faultsOf(a, b).isEmpty());
        QCOMPARE(m.junctionOf(a, b), 0.0);
        QVERIFY(!m.isOverVoltage(a, b));
        QCOMPARE(m.voltageOf(a, b), LineVoltage());
        QCOMPARE(m.noiseOf(a, b), 0.0);
        QVERIFY(m.carriersOf(a, b).isEmpty());
    }
}

void TestSim::parseFirmwareVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::newRow("2.05") << "2.05" << true << 2 << 5;
    QTest::newRow("2.17") << "2.17" << true << 2 << 17;
    QTest::newRow("10.00") << "10.00" << true << 10 << 0;
    QTest::newRow("255.99") << "255.99" << true << 255 << 99;
    QTest::newRow("one digit minor") << "2.5" << false << 0 << 0;
    QTest::newRow("no minor") << "2" << false << 0 << 0;
    QTest::newRow("major too big") << "256.00" << false << 0 << 0;
    QTest::newRow("three digit minor") << "2.100" << false << 0 << 0;
    QTest::newRow("letters") << "a.05" << false << 0 << 0;
    QTest::newRow("blank") << " 2.05" << false << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << 0;
}

void TestSim::parseFirmwareVersion()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, major);
    QFETCH(int, minor);
    quint8 ma = 77, mi = 77;
    QCOMPARE(::parseFirmwareVersion(text, &ma, &mi), ok);
    if (ok) {
        QCOMPARE(int(ma), major);
        QCOMPARE(int(mi), minor);
    }
}

void TestSim::simOverPseudoTerminal()
{
    QProcess sim;
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    // 17 and 13 are XON and CR: they must cross the line untouched.
    sim.start(QStringLiteral(KV847_SIM_PATH), {QStringLiteral("--version-fw"), QStringLiteral("17.13")});
    const auto stopSim = qScopeGuard([&] {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished(3000);
        }
    });
    QVERIFY(sim.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

    SerialAnalyserPort port(nullptr, path);
    LinkWatchdog watchdog(port);
    FrameReceiver rx;
    QList<QByteArray> received;
    QObject::connect(&watchdog, &LinkWatchdog::send, &port, [&](const QByteArray& p) {
        port.write(Frame::encode(p));
        port.waitForBytesWritten(1000);
    });
    QObject::connect(&port, &AnalyserPort::readyRead, &port, [&] {
        for (char c : port.readAll())
            if (rx.feed(quint8(c))) {
                received.append(rx.takePayload());
                watchdog.heard();
            }
    });
    QSignalSpy failed(&watchdog, &LinkWatchdog::setupFailed);

    watchdog.step(false);
    QCOMPARE(failed.count(), 0);
    QVERIFY(port.isOpen());
    QCOMPARE(watchdog.linkState(), quint8(1));
    QTRY_VERIFY_WITH_TIMEOUT(!received.isEmpty(), 3000);
    QCOMPARE(received.first(), bytes({'S', 1, 0x11, 0x0D, 0}));
    QCOMPARE(watchdog.linkState(), quint8(2));

    // Past the hold-off the watchdog polls, and the poll is answered.
    received.clear();
    for (int i = 0; i <= LinkWatchdog::HoldOffAfterOpen; ++i)
        watchdog.step(false);
    QTRY_VERIFY_WITH_TIMEOUT(received.contains(bytes({'#', 0})), 3000);

    // Mode and pair select show up in the analyser's own status messages.
    port.write(Frame::encode(bytes({'R', 6})));
    port.write(Frame::encode(bytes({'I', 1, 3, 9})));
    // The common bytes only: the measuring mode adds its own from byte 8 on.
    const QByteArray common = status(6, 3, 9, 5, 0).left(8);
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(received.begin(), received.end(),
                                         [&](const QByteArray& p) { return p.startsWith(common); }),
                             3000);

    port.close();
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
}

void TestSim::simRejectsBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("firmware one digit") << QStringList{"--version-fw", "2.5"};
    QTest::newRow("seed not a number") << QStringList{"--seed", "x"};
    QTest::newRow("negative delay") << QStringList{"--connect-delay", "-5"};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
}

void TestSim::simRejectsBadOptions()
{
    QFETCH(QStringList, args);
    QProcess sim;
    sim.start(QStringLiteral(KV847_SIM_PATH), args);
    QVERIFY(sim.waitForStarted(5000));
    if (!sim.waitForFinished(5000)) {
        sim.kill();
        sim.waitForFinished(3000);
        QFAIL("kv847-sim kept running with a bad option");
    }
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QVERIFY(sim.exitCode() != 0);
    QVERIFY(sim.readAllStandardOutput().isEmpty());
    QVERIFY(!sim.readAllStandardError().isEmpty());
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
