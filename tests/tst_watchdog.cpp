#include "fakeport.h"
#include "link/linkwatchdog.h"

#include <QtTest>

namespace
{
// The watchdog with a fake port; sends are recorded as the window's sender would gate them.
struct Rig {
    FakePort port;
    LinkWatchdog dog{port};
    QList<QByteArray> sent;
    QList<LinkTitle> titles;
    QStringList failures;
    int drops = 0;

    Rig()
    {
        QObject::connect(&dog, &LinkWatchdog::send, [this](const QByteArray& p) { sent << p; });
        QObject::connect(&dog, &LinkWatchdog::title, [this](LinkTitle t) { titles << t; });
        QObject::connect(&dog, &LinkWatchdog::setupFailed, [this](const QString& e) { failures << e; });
        QObject::connect(&dog, &LinkWatchdog::dropRequested, [this] {
            ++drops;
            dog.closePort();
        });
    }
    void run(int n, bool busy = false)
    {
        for (int i = 0; i < n; ++i)
            dog.step(busy);
    }
    int polls() const { return int(std::count(sent.begin(), sent.end(), QByteArray("#"))); }
};
} // namespace

class TestWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void opensLastFtdiPort_data();
    void opensLastFtdiPort();
    void settingsInOrderStopAtFirstFailure();
    void silentDeviceTimesOutAndRetries();
    void answeringDeviceStaysAlive();
    void deviceFallingSilentIsDroppedAndSearchedAgain();
    void updateBusySuspends();
};

void TestWatchdog::opensLastFtdiPort_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("makers");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("two FTDI, last wins")
        << QStringList{"ttyUSB0", "ttyS0", "ttyUSB1"} << QStringList{"FTDI", "", "FTDI"} << "ttyUSB1";
    QTest::newRow("case matters") << QStringList{"ttyUSB0", "ttyUSB1"} << QStringList{"FTDI", "ftdi"}
                                  << "ttyUSB0";
    QTest::newRow("prefix is not enough") << QStringList{"ttyUSB0"} << QStringList{"FTDI Ltd"} << "";
    QTest::newRow("none") << QStringList{} << QStringList{} << "";
}

void TestWatchdog::opensLastFtdiPort()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, makers);
    QFETCH(QString, chosen);
    Rig r;
    r.port.ports.clear();
    for (int i = 0; i < names.size(); ++i)
        r.port.ports.append({names.at(i), makers.at(i)});
    r.run(1);
    if (chosen.isEmpty()) {
        QCOMPARE(r.port.opens, 0);
        QCOMPARE(r.dog.linkState(), quint8(0));
        QVERIFY(r.sent.isEmpty());
        return;
    }
    QCOMPARE(r.port.portName(), chosen);
    QVERIFY(r.port.isOpen());
    QCOMPARE(r.dog.linkState(), quint8(1));
    QCOMPARE(r.dog.holdOff(), quint8(6));
    QCOMPARE(r.sent, QList<QByteArray>{QByteArray("U\x01", 2)});
    QCOMPARE(r.titles, QList<LinkTitle>{LinkTitle::Requesting});
}

void TestWatchdog::settingsInOrderStopAtFirstFailure()
{
    {
        Rig r;
        r.run(1);
        QCOMPARE(r.port.settingsApplied,
                 (QStringList{"baud", "dtr", "rts", "parity", "stop", "data", "flow"}));
    }
    Rig r;
    r.port.failingSetting = "rts";
    r.run(1);
    QCOMPARE(r.port.settingsApplied, (QStringList{"baud", "dtr", "rts"}));
    QCOMPARE(r.failures, QStringList{"Permission denied"});
    QCOMPARE(r.titles, QList<LinkTitle>{LinkTitle::ConnectionError});
    QVERIFY(r.sent.isEmpty());
    // The port stays open and the watchdog idles until the port is closed by an error.
    QVERIFY(r.port.isOpen());
    r.run(20);
    QCOMPARE(r.port.opens, 1);
    QCOMPARE(r.failures.size(), 1);
    QCOMPARE(r.dog.linkState(), quint8(0));
}

void TestWatchdog::silentDeviceTimesOutAndRetries()
{
    Rig r;
    r.run(1);
    QCOMPARE(r.dog.linkState(), quint8(1));
    r.run(6); // the hold-off after opening
    QCOMPARE(r.dog.linkState(), quint8(1));
    QCOMPARE(r.titles.size(), 1);
    r.run(1);
    QCOMPARE(r.dog.linkState(), quint8(0));
    QCOMPARE(r.titles.last(), LinkTitle::NoResponse);
    QVERIFY(!r.port.isOpen());
    r.run(4); // the hold-off after no response
    QCOMPARE(r.port.opens, 1);
    r.run(1);
    QCOMPARE(r.port.opens, 2);
    QCOMPARE(r.dog.linkState(), quint8(1));
    QCOMPARE(r.sent.count(QByteArray("U\x01", 2)), 2);
}

void TestWatchdog::answeringDeviceStaysAlive()
{
    Rig r;
    r.run(7);
    r.dog.heard();
    quint8 highest = 0;
    for (int tick = 0; tick < 50; ++tick) {
        r.run(2); // one tick of the timer
        highest = std::max(highest, r.dog.linkState());
        r.dog.heard(); // the analyser answers every poll
    }
    QCOMPARE(highest, quint8(4));
    QCOMPARE(r.polls(), 100);
    QCOMPARE(r.drops, 0);
}

void TestWatchdog::deviceFallingSilentIsDroppedAndSearchedAgain()
{
    Rig r;
    r.run(7);
    r.dog.heard();
    r.run(10);
    QCOMPARE(r.dog.linkState(), quint8(12));
    QCOMPARE(r.drops, 0);
    r.run(1); // the 11th silent run drops the device and opens the port again at once
    QCOMPARE(r.drops, 1);
    QCOMPARE(r.polls(), 11);
    QCOMPARE(r.port.opens, 2);
    QCOMPARE(r.dog.linkState(), quint8(1));
    QCOMPARE(r.sent.last(), QByteArray("U\x01", 2));
}

void TestWatchdog::updateBusySuspends()
{
    Rig r;
    r.run(7);
    r.dog.heard();
    r.run(40, true);
    QCOMPARE(r.polls(), 0);
    QCOMPARE(r.drops, 0);
    QCOMPARE(r.dog.linkState(), quint8(2));
    QVERIFY(r.port.isOpen());
}

QTEST_GUILESS_MAIN(TestWatchdog)
#include "tst_watchdog.moc"
