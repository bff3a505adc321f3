// The main window against the virtual analyser: connecting, keeping the link, losing it, and the
// dispatch of what the analyser sends.
#include "windowrigs.h"

#include <QSignalSpy>
#include <QtTest>
#include <qwt_slider.h>

namespace
{
struct Rig : AnalyserWindowRig {
    QStringList titles;
    QStringList icons;

    Rig()
    {
        QObject::connect(w.get(), &MainWindow::setWindowTitle,
                         [this](const QString& t, const QString& c) { titles << t + " " + c; });
        QObject::connect(w.get(), &MainWindow::setWindowIcon,
                         [this](const QIcon& i) { icons << QString::number(i.cacheKey()); });
    }
    // The window goes before the lists its signals fill.
    ~Rig() { w.reset(); }
};
} // namespace

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void connectsAndAnnouncesMode();
    void connectOnReportTabAnnouncesEight();
    void versionDigits();
    void answeringAnalyserStaysBetweenTwoAndFour();
    void silentAnalyserNoResponseThenRetry();
    void analyserFallingSilentIsDroppedAndReopened();
    void unplugClosesAndReconnectsAfterReplug();
    void firmwareTransferSuspendsWatchdog();
    void failingSettingShowsOneBoxAndStaysOpen();
    void failingOpenNeverStacksBoxes();
    void openErrorNamesTheFix_data();
    void openErrorNamesTheFix();
    void anyMessageResetsKeepAlive();
    void batteryMessages();
    void progressLocksUntilExactlyHundred();
    void statusFollowsAnalysersPair();
    void nljdLevelFromStatus();
    void garbageAndBadFramesAreDropped();
    void selectsLostByAHungAnalyserAreSentAgain_data();
    void selectsLostByAHungAnalyserAreSentAgain();
    void pairClicksDoNotHoldBackALostModeSelect();
};

void TestConnection::connectsAndAnnouncesMode()
{
    Rig r;
    r.tick();
    QCOMPARE(r.w->linkState(), quint8(2));
    QCOMPARE(r.titles.value(0), QString("KV847: request to connect... #5555ff"));
    QCOMPARE(r.titles.value(1), QString("KV847: connected #55ff55"));
    QCOMPARE(r.icons.size(), 1);
    QCOMPARE(r.ui()->lab_ver->text(), QString("2.05"));
    QVERIFY(r.ui()->updateBox->isEnabled());
    QCOMPARE(r.port->sentPayloads().value(0), QByteArray("U\x01", 2));
    QVERIFY(r.port->sentPayloads().contains(QByteArray("R\x04", 2)));
    QCOMPARE(r.analyser.mode(), quint8(VirtualAnalyser::ModeLfa));
    QVERIFY(r.analyser.isConnected());
}

void TestConnection::connectOnReportTabAnnouncesEight()
{
    Rig r;
    r.ui()->tabWidget->setCurrentIndex(4);
    r.tick();
    QCOMPARE(r.w->linkState(), quint8(2));
    QVERIFY(r.port->sentPayloads().contains(QByteArray("R\x08", 2)));
    // The analyser does not know code 8 and stays in its mode, still connected.
    QCOMPARE(r.analyser.mode(), quint8(VirtualAnalyser::ModeLfa));
    QVERIFY(r.analyser.isConnected());
}

void TestConnection::versionDigits()
{
    Rig r;
    r.analyser.setFirmwareVersion(3, 17);
    r.tick();
    QCOMPARE(r.ui()->lab_ver->text(), QString("3.17"));
    QCOMPARE(r.w->firmwareMajor(), quint8(3));
    QCOMPARE(r.w->firmwareMinor(), quint8(17));
}

void TestConnection::answeringAnalyserStaysBetweenTwoAndFour()
{
    Rig r;
    r.connectNow();
    quint8 low = 255, high = 0;
    for (int i = 0; i < 30; ++i) {
        r.w->openSerialPort();
        high = std::max(high, r.w->linkState());
        r.w->openSerialPort();
        high = std::max(high, r.w->linkState());
        r.settle();
        low = std::min(low, r.w->linkState());
    }
    QCOMPARE(low, quint8(2));
    QCOMPARE(high, quint8(4));
    QCOMPARE(r.sentCount("#"), 60);
    QVERIFY(r.port->isOpen());
}

void TestConnection::silentAnalyserNoResponseThenRetry()
{
    Rig r;
    r.analyser.setConnectDelay(VirtualAnalyser::NeverAnswer);
    r.w->openSerialPort(); // opens and asks
    QCOMPARE(r.w->linkState(), quint8(1));
    r.tick(3); // six runs of hold-off
    QCOMPARE(r.w->linkState(), quint8(1));
    r.w->openSerialPort(); // the next run gives up
    QCOMPARE(r.w->linkState(), quint8(0));
    QCOMPARE(r.titles.last(), QString("KV847: no response! #ff5555"));
    QVERIFY(!r.port->isOpen());
    r.tick(2); // four runs of hold-off
    QCOMPARE(r.sentCount(QByteArray("U\x01", 2)), 1);
    r.w->openSerialPort();
    QCOMPARE(r.sentCount(QByteArray("U\x01", 2)), 2);
    QCOMPARE(r.w->linkState(), quint8(1));
}

void TestConnection::analyserFallingSilentIsDroppedAndReopened()
{
    Rig r;
    r.connectNow();
    r.analyser.setSilent(true);
    for (int i = 0; i < 10; ++i)
        r.w->openSerialPort();
    QCOMPARE(r.w->linkState(), quint8(12));
    QVERIFY(r.port->isOpen());
    r.titles.clear();
    r.w->openSerialPort(); // the 11th silent run
    QCOMPARE(r.sentCount("#"), 11);
    QCOMPARE(r.titles.value(0), QString("KV847: no connection! #ff5555"));
    QCOMPARE(r.titles.value(1), QString("KV847: request to connect... #5555ff"));
    QCOMPARE(r.w->linkState(), quint8(1));
    QVERIFY(r.port->isOpen());
    QVERIFY(!r.ui()->updateBox->isEnabled());
}

void TestConnection::unplugClosesAndReconnectsAfterReplug()
{
    Rig r;
    r.connectNow();
    r.port->unplug();
    QCOMPARE(r.w->linkState(), quint8(0));
    QVERIFY(!r.port->isOpen());
    QCOMPARE(r.titles.last(), QString("KV847: no connection! #ff5555"));
    r.tick(3);
    QCOMPARE(r.w->linkState(), quint8(0));
    r.port->plug();
    r.tick();
    QCOMPARE(r.w->linkState(), quint8(2));
    QCOMPARE(r.titles.last(), QString("KV847: connected #55ff55"));
}

void TestConnection::firmwareTransferSuspendsWatchdog()
{
    Rig r;
    r.connectNow();
    r.analyser.setSilent(true);
    r.w->setUpdateBusy(true);
    r.tick(20);
    QCOMPARE(r.sentCount("#"), 0);
    QVERIFY(r.port->isOpen());
    QCOMPARE(r.w->linkState(), quint8(2));
    r.w->setUpdateBusy(false);
    r.w->openSerialPort();
    QCOMPARE(r.sentCount("#"), 1);
}

void TestConnection::failingSettingShowsOneBoxAndStaysOpen()
{
    Rig r;
    r.port->setSettingFailure(VirtualAnalyserPort::Setting::Parity, "Parity not supported");
    r.tick(10);
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.value(0).title, QString("Error"));
    QCOMPARE(r.prompts.asked.value(0).text, QString("Parity not supported"));
    QCOMPARE(r.titles.last(), QString("KV847: connection error! #ff5555"));
    QVERIFY(r.port->isOpen());
    QCOMPARE(r.w->linkState(), quint8(0));
    QVERIFY(r.port->sentPayloads().isEmpty());
    // Only a port error frees it; then it is found and set up again.
    r.port->setSettingFailure(VirtualAnalyserPort::Setting::Parity, QString());
    r.port->unplug();
    r.port->plug();
    r.tick();
    QCOMPARE(r.w->linkState(), quint8(2));
}

namespace
{
// While its box is "open", the connection timer keeps running the watchdog.
class NestingPrompts : public ScriptedPrompts
{
public:
    MainWindow* w = nullptr;
    int nested = 0;
    void critical(const QString& title, const QString& text) override
    {
        ScriptedPrompts::critical(title, text);
        if (nested++ == 0)
            for (int i = 0; i < 10; ++i)
                w->openSerialPort();
    }
};
} // namespace

void TestConnection::failingOpenNeverStacksBoxes()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* port = new VirtualAnalyserPort(analyser);
    port->setOpenFailure("Permission denied");
    NestingPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    prompts.w = &w;
    w.openSerialPort();
    QCOMPARE(prompts.count("critical"), 1);
    // Once the box is closed, the next failure may be shown again.
    w.openSerialPort();
    QCOMPARE(prompts.count("critical"), 2);
}

void TestConnection::openErrorNamesTheFix_data()
{
    QTest::addColumn<bool>("accessible"); // whether this user may read and write the device file
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("qtText");
    QTest::addColumn<QStringList>("mustSay");
    QTest::addColumn<QStringList>("mustNotSay");
    QTest::newRow("no permission") << false << int(QSerialPort::PermissionError) << "Permission denied"
                                   << QStringList{"may not open", "\"dialout\"", "log in again",
                                                  "Permission denied"}
                                   << QStringList{"another program"};
    QTest::newRow("held by another program")
        << true << int(QSerialPort::PermissionError) << "Permission error while locking the device"
        << QStringList{"another program", "locking the device"} << QStringList{"dialout"};
    QTest::newRow("anything else") << false << int(QSerialPort::DeviceNotFoundError)
                                   << "No such file or directory" << QStringList{}
                                   << QStringList{"dialout", "another program"};
}

void TestConnection::openErrorNamesTheFix()
{
    QFETCH(bool, accessible);
    QFETCH(int, error);
    QFETCH(QString, qtText);
    QFETCH(QStringList, mustSay);
    QFETCH(QStringList, mustNotSay);
    QTemporaryDir dir;
    const QString device = dir.filePath("ttyUSB0");
    if (accessible) {
        QFile f(device);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    FakePortWindowRig r;
    r.port->ports = {{device, "FTDI"}};
    r.port->openFails = true;
    r.port->openError = QSerialPort::SerialPortError(error);
    r.port->error = qtText;
    r.w->openSerialPort();
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.value(0).title, QString("Error"));
    const QString text = r.prompts.asked.value(0).text;
    if (mustSay.isEmpty())
        QCOMPARE(text, qtText);
    else
        QVERIFY2(text.contains(device), qPrintable(text));
    for (const QString& s : mustSay)
        QVERIFY2(text.contains(s), qPrintable(text));
    for (const QString& s : mustNotSay)
        QVERIFY2(!text.contains(s), qPrintable(text));
}

void TestConnection::anyMessageResetsKeepAlive()
{
    Rig r;
    r.connectNow();
    r.analyser.setSilent(true);
    for (int i = 0; i < 5; ++i)
        r.w->openSerialPort();
    QCOMPARE(r.w->linkState(), quint8(7));
    r.analyser.setSilent(false);
    r.analyser.send("#");
    r.settle();
    QCOMPARE(r.w->linkState(), quint8(2));
    r.w->openSerialPort();
    r.analyser.send("Z\x01");
    r.settle();
    QCOMPARE(r.w->linkState(), quint8(2));
}

void TestConnection::batteryMessages()
{
    Rig r;
    r.connectNow();
    QSignalSpy bat(r.w.get(), &MainWindow::sigBat);
    r.analyser.send("B\x03\x01");
    r.analyser.send("B");
    r.analyser.setBattery(4, false);
    r.analyser.sendStatus();
    r.settle();
    QCOMPARE(bat.size(), 3);
    QCOMPARE(bat.at(0).at(0).value<uchar>(), uchar(3));
    QCOMPARE(bat.at(0).at(1).toBool(), true);
    QCOMPARE(bat.at(1).at(0).value<uchar>(), uchar(0));
    QCOMPARE(bat.at(1).at(1).toBool(), false);
    QCOMPARE(bat.at(2).at(0).value<uchar>(), uchar(4));
    QCOMPARE(bat.at(2).at(1).toBool(), false);
}

void TestConnection::progressLocksUntilExactlyHundred()
{
    Rig r;
    r.connectNow();
    r.ui()->tabWidget->setCurrentIndex(2);
    r.analyser.send(QByteArray("P\x00", 2));
    r.settle();
    QVERIFY(!r.ui()->centralWidget->isEnabled());
    QVERIFY(!r.ui()->progrNLD->isHidden());
    r.analyser.send("P\x32");
    r.analyser.send("P\x65");
    r.settle();
    QVERIFY(!r.ui()->centralWidget->isEnabled()); // 101 is not the end
    QCOMPARE(r.ui()->progrNLD->value(), 50);
    r.analyser.send("P\x64");
    r.settle();
    QVERIFY(r.ui()->centralWidget->isEnabled());
    QVERIFY(r.ui()->progrNLD->isHidden());

    // On the LFA tab progress is ignored.
    r.ui()->tabWidget->setCurrentIndex(0);
    r.analyser.send(QByteArray("P\x00", 2));
    r.settle();
    QVERIFY(r.ui()->centralWidget->isEnabled());

    // A link lost mid-measurement releases the window.
    r.ui()->tabWidget->setCurrentIndex(3);
    r.analyser.send(QByteArray("P\x00", 2));
    r.settle();
    QVERIFY(!r.ui()->centralWidget->isEnabled());
    r.port->unplug();
    QVERIFY(r.ui()->centralWidget->isEnabled());
    QVERIFY(r.ui()->progrFDR->isHidden());
}

void TestConnection::statusFollowsAnalysersPair()
{
    Rig r;
    r.connectNow();
    r.analyser.reportPair(1, 3);
    r.settle();
    QCOMPARE(r.w->currentPair(), quint8(2));
    QVERIFY(r.port->sentPayloads().contains(QByteArray("I\x01\x01\x03", 4)));
    r.port->clearSent();
    QByteArray status = r.analyser.statusPayload();
    status[2] = 0; // a wire 0 means no pair
    r.analyser.send(status);
    r.settle();
    QCOMPARE(r.w->currentPair(), quint8(0));
    QCOMPARE(r.port->sentPayloads(), QList<QByteArray>{QByteArray("I\x01\x00\x00", 4)});
    r.port->clearSent();
    r.analyser.sendStatus(); // nothing changes while none is selected
    r.settle();
    QVERIFY(r.port->sentPayloads().isEmpty());
}

void TestConnection::nljdLevelFromStatus()
{
    Rig r;
    r.connectNow();
    QByteArray status = r.analyser.statusPayload();
    status[1] = 6;
    status[8] = char(4);
    r.analyser.send(status);
    r.settle();
    QCOMPARE(r.ui()->slNLD->value(), 100.0);
    status[8] = 2;
    r.analyser.send(status);
    r.settle();
    QCOMPARE(r.ui()->slNLD->value(), 60.0);
    // Byte 8 missing: the delivered size is 8, which gives the lowest level.
    r.analyser.send(status.left(7));
    r.settle();
    QCOMPARE(r.ui()->slNLD->value(), 20.0);
}

void TestConnection::garbageAndBadFramesAreDropped()
{
    Rig r;
    r.connectNow();
    r.analyser.setBadChecksum(true);
    r.analyser.send("B\x01\x00");
    r.analyser.setBadChecksum(false);
    r.analyser.sendGarbage(200);
    QSignalSpy bat(r.w.get(), &MainWindow::sigBat);
    r.analyser.send("B\x02\x00");
    r.settle();
    QCOMPARE(bat.size(), 1);
    QCOMPARE(bat.at(0).at(0).value<uchar>(), uchar(2));
}

void TestConnection::selectsLostByAHungAnalyserAreSentAgain_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("polled"); // the watchdog polled through the silence
    QTest::newRow("NLJD: no readings") << 2 << false;
    QTest::newRow("REFL: Test gets no answer") << 3 << false;
    QTest::newRow("NLJD: polls went unanswered") << 2 << true;
    QTest::newRow("REFL: polls went unanswered") << 3 << true;
}

void TestConnection::selectsLostByAHungAnalyserAreSentAgain()
{
    QFETCH(int, tab);
    QFETCH(bool, polled);
    Rig r;
    r.connectNow();
    r.w->swClick(1, 1);
    r.settle();
    QCOMPARE(r.analyser.mode(), quint8(VirtualAnalyser::ModeLfa));
    // The analyser hangs for a moment, just while the user goes to another tab and pair.
    r.analyser.setSilent(true);
    r.ui()->tabWidget->setCurrentIndex(tab);
    r.w->swClick(2, 1);
    if (tab == 3)
        r.ui()->refTEST->click(); // lost as well
    r.settle();
    if (polled) {
        for (int i = 0; i < 4; ++i)
            r.w->openSerialPort();
        r.analyser.setSilent(false);
        // The first answer after the silence: everything goes out again at once.
        r.w->openSerialPort();
        r.settle();
        QCOMPARE(r.analyser.mode(), quint8(tab + 4));
        QCOMPARE(r.analyser.wireB(), quint8(3));
        if (tab == 3)
            QTRY_VERIFY(!r.ui()->refTEST->isChecked()); // measured
        return;
    }
    r.analyser.setSilent(false);
    QCOMPARE(r.analyser.mode(), quint8(VirtualAnalyser::ModeLfa));
    // The link stays alive meanwhile (the test runs no watchdog); the selects go out again.
    QTRY_COMPARE_WITH_TIMEOUT(r.analyser.mode(), quint8(tab + 4), MainWindow::StreamLostMs + 2000);
    QCOMPARE(r.analyser.wireB(), quint8(3));
    QVERIFY(r.w->linkState() >= 2);
    QVERIFY(!r.ui()->refTEST->isChecked());
}

void TestConnection::pairClicksDoNotHoldBackALostModeSelect()
{
    Rig r;
    r.connectNow();
    r.w->swClick(1, 1);
    r.settle();
    r.analyser.setSilent(true);
    r.ui()->tabWidget->setCurrentIndex(2); // its mode select is lost
    r.settle();
    r.analyser.setSilent(false);
    // The user keeps picking pairs; each click sends the pair only, which the analyser takes in the
    // mode it is still in, so the shown tab gets no data.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; r.analyser.mode() != VirtualAnalyser::ModeNljd && clock.elapsed() < MainWindow::StreamLostMs + 3000;
         ++i) {
        r.w->swClick(3 + i % 2, 1);
        QTest::qWait(400);
    }
    QCOMPARE(r.analyser.mode(), quint8(VirtualAnalyser::ModeNljd));
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
