#include "pairs/pairstore.h"
#include "windowrigs.h"

#include "resources/resources.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <qwt_slider.h>

namespace
{
const QByteArray Connected("S\x01\x02\x05", 4);

struct Rig : FakePortWindowRig {
    QStringList titles;

    Rig()
    {
        QObject::connect(w.get(), &MainWindow::setWindowTitle, [this](const QString& t) { titles << t; });
    }
};

QRect box(int l, int t, int r, int b)
{
    return QRect(QPoint(l, t), QPoint(r, b));
}
} // namespace

class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void formStartsAsDesigned();
    void layoutAtStartSize();
    void pairPanelGrowth_data();
    void pairPanelGrowth();
    void nljdTabPlacement();
    void resizeBurstLaysOutOnce();
    void sendGatedByLinkState();
    void modeTabSwitch();
    void savedFileHoldsDataOfWhenTheDialogClosed();
    void portClosedMidChunkStopsDelivery();
    void onlyResourceErrorCloses();
    void busyIconsAnimate();
    void languageChangeKeepsFirmwareVersion();
    void closeSendsDisconnectOnlyWhenAlive_data();
    void closeSendsDisconnectOnlyWhenAlive();
    void everyPictureHasATwiceSizedTwin();
};

void TestApp::formStartsAsDesigned()
{
    Rig r;
    QCOMPARE(r.ui()->tabWidget->currentIndex(), 0);
    QCOMPARE(r.ui()->tabWidget->count(), 6);
    const QStringList tabs{"LFA", "WRx", "NLJD", "REFL", "Report", "Update"};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(r.ui()->tabWidget->tabText(i), tabs.at(i));
    QCOMPARE(r.ui()->REPORT->currentIndex(), 3);
    QVERIFY(r.ui()->listREP->isHidden());
    QVERIFY(r.ui()->repWIND1->isHidden() && r.ui()->repWIND4->isHidden());
    QVERIFY(!r.ui()->cbREP47->isEnabled());
    QCOMPARE(r.ui()->refFAC->text(), QString("1.5"));
    QCOMPARE(r.ui()->label_17->text().at(0), QChar(0x0421));
    QCOMPARE(r.ui()->nldINFO->placeholderText(), QString("Current file:"));
    QVERIFY(!r.ui()->But_Reprog->isEnabled());
    QCOMPARE(r.ui()->slNLD->value(), 60.0);
    QCOMPARE(r.w->linkState(), quint8(0));
}

void TestApp::layoutAtStartSize()
{
    Rig r;
    r.w->resizeWIN();
    // The pair table keeps its minimum height of 647, taller than the rectangle at this size.
    QCOMPARE(r.ui()->swTAB->geometry(), box(730, 30, 990, 676));
    QCOMPARE(r.ui()->listREP->geometry(), box(730, 30, 990, 664));
    QCOMPARE(r.ui()->tabWidget->geometry(), box(0, 2, 729, 664));
    QCOMPARE(r.ui()->cbLang->geometry(), box(890, 4, 990, 26));
    QCOMPARE(r.ui()->label_3->geometry(), box(733, 6, 793, 25));
    QCOMPARE(r.ui()->swSET->geometry(), box(790, 4, 813, 27));
    QCOMPARE(r.ui()->scanAll->geometry(), box(820, 4, 880, 27));
    QCOMPARE(r.ui()->butClear->geometry(), box(628, 4, 728, 27));
    QCOMPARE(r.ui()->addREP->geometry(), box(510, 4, 620, 27));
    QCOMPARE(r.ui()->tableREF->geometry(), box(4, 0, 723, 521));
    QCOMPARE(r.ui()->repWIND2->geometry(), box(429, 29, 729, 139));
    QCOMPARE(r.ui()->repWIND3->geometry(), box(429, 29, 729, 99));
}

void TestApp::pairPanelGrowth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("panel");
    QTest::newRow("991") << 991 << 261;
    QTest::newRow("1209") << 1209 << 261;
    QTest::newRow("1210") << 1210 << 262;
    QTest::newRow("1305") << 1305 << 281;
    QTest::newRow("1600") << 1600 << 340;
}

void TestApp::pairPanelGrowth()
{
    QFETCH(int, width);
    QFETCH(int, panel);
    Rig r;
    r.w->resizeSLOT(QSize(width, 900));
    QCOMPARE(r.ui()->swTAB->width(), panel);
    QCOMPARE(r.ui()->swTAB->geometry().right(), width - 1);
    QCOMPARE(r.ui()->tabWidget->geometry().right(), width - panel - 1);
    QCOMPARE(r.ui()->swTAB->geometry().bottom(), 900 - 13);
}

void TestApp::nljdTabPlacement()
{
    Rig r;
    r.w->resizeWIN();
    // Tab widget 730 x 663: a = 724, b = 160, c = 282, q = 80, t = 30, d = 474, L = 267, E = 427, Y = 504.
    QCOMPARE(r.ui()->verticalLayoutWidget->geometry(), box(267, 30, 426, 503));
    QCOMPARE(r.ui()->label_9->geometry(), box(267, 509, 346, 528));
    QCOMPARE(r.ui()->label_10->geometry(), box(347, 509, 426, 528));
    QCOMPARE(r.ui()->label_8->geometry(), box(267, 531, 426, 550));
    QCOMPARE(r.ui()->ScaleWidget->geometry(), box(217, 30, 266, 502));
    QCOMPARE(r.ui()->slNLD->geometry(), box(437, 30, 497, 503));
    QCOMPARE(r.ui()->nldSave->geometry(), box(537, 30, 687, 52));
    QCOMPARE(r.ui()->nldComp->geometry(), box(537, 60, 657, 82));
    QCOMPARE(r.ui()->nldLoad->geometry(), box(657, 60, 687, 82));
    QCOMPARE(r.ui()->nldINFO->geometry(), box(537, 90, 697, 200));
    QCOMPARE(r.ui()->nldERR->geometry(), box(267, 561, 426, 621));
    QCOMPARE(r.ui()->nldFILE->geometry(), box(116, 61, 536, 131));
    // a/16 = 45, 7a/8 = 633.
    QCOMPARE(r.ui()->progrNLD->geometry(), box(45, 554, 677, 576));
    QCOMPARE(r.ui()->progrFDR->geometry(), r.ui()->progrNLD->geometry());
}

void TestApp::resizeBurstLaysOutOnce()
{
    if (qEnvironmentVariableIsSet("KV847_SANITIZED"))
        QSKIP("the 250 ms debounce cannot be timed in a sanitized build");
    Rig r;
    r.w->show();
    // Past the layout that showing asks for, also on a busy machine or under a sanitizer.
    QTest::qWait(600);
    int layouts = 0;
    // Every layout pass moves the pair table; count the moves of one burst.
    struct Watch : QObject {
        int* n;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Move || e->type() == QEvent::Resize)
                ++*n;
            return false;
        }
    } watch;
    watch.n = &layouts;
    r.ui()->swTAB->installEventFilter(&watch);
    for (int wdt = 1000; wdt <= 1100; wdt += 20)
        r.w->resize(wdt, 700);
    QCoreApplication::processEvents();
    QCOMPARE(layouts, 0);
    QTRY_VERIFY_WITH_TIMEOUT(layouts > 0, 2000);
    QCOMPARE(r.ui()->swTAB->geometry().right(), 1099);
    const int afterBurst = layouts;
    QTest::qWait(400);
    QCOMPARE(layouts, afterBurst);
}

void TestApp::sendGatedByLinkState()
{
    Rig r;
    r.w->writeData("#");
    r.w->writeData(QByteArray("U\x01", 2));
    QVERIFY(r.port->rawWritten.isEmpty()); // state 0: nothing at all

    r.w->openSerialPort(); // opens and requests: state 1
    QCOMPARE(r.w->linkState(), quint8(1));
    QCOMPARE(r.log, QList<QByteArray>{QByteArray("U\x01", 2)});
    r.w->writeData(QByteArray("I\x01\x01\x02", 4));
    r.w->writeData(QByteArray("U\x00", 2));
    QCOMPARE(r.log.size(), 2);
    QCOMPARE(r.log.last(), QByteArray("U\x00", 2));

    r.port->pushPayload(Connected);
    QCOMPARE(r.w->linkState(), quint8(2));
    r.log.clear();
    r.w->writeData(QByteArray("I\x01\x01\x02", 4));
    QCOMPARE(r.log, QList<QByteArray>{QByteArray("I\x01\x01\x02", 4)});
    // A payload that cannot travel in one frame is refused, not wrapped.
    r.port->rawWritten.clear();
    r.w->writeData(QByteArray(200, char(0xDB)));
    QVERIFY(r.port->rawWritten.isEmpty());
}

void TestApp::modeTabSwitch()
{
    Rig r;
    r.connectAnalyser();
    const QByteArray deselect("I\x01\x00\x00", 4);
    QTabWidget* tabs = r.ui()->tabWidget;

    tabs->setCurrentIndex(1);
    QCOMPARE(r.log, (QList<QByteArray>{deselect, QByteArray("R\x05", 2)}));
    QCOMPARE(r.w->currentMode(), 1);

    r.log.clear();
    tabs->setCurrentIndex(3);
    QCOMPARE(r.log, (QList<QByteArray>{deselect, QByteArray("R\x07", 2)}));

    r.log.clear();
    tabs->setCurrentIndex(4); // Report: nothing sent, mode kept, its page shown
    QVERIFY(r.log.isEmpty());
    QCOMPARE(r.w->currentMode(), 3);
    QCOMPARE(r.ui()->REPORT->currentIndex(), 3);
    QVERIFY(!r.ui()->listREP->isHidden());
    QVERIFY(!r.ui()->addREP->isEnabled());
    QVERIFY(!r.ui()->scanAll->isEnabled());

    tabs->setCurrentIndex(3); // back to the announced mode: nothing to send
    QVERIFY(r.log.isEmpty());

    tabs->setCurrentIndex(5);
    QCOMPARE(r.log, (QList<QByteArray>{deselect, QByteArray("R\x01", 2)}));
    QVERIFY(r.ui()->swTAB->isHidden());
    QCOMPARE(r.w->currentMode(), 1);

    // The update tab set mode 1, so WRx is announced again.
    r.log.clear();
    tabs->setCurrentIndex(1);
    QCOMPARE(r.log, (QList<QByteArray>{deselect, QByteArray("R\x05", 2)}));
    QVERIFY(!r.ui()->swTAB->isHidden());
    QVERIFY(r.ui()->addREP->isEnabled());
}

namespace
{
// Measurements go on while the save dialog is open.
class SlowDialogPrompts : public ScriptedPrompts
{
public:
    std::function<void()> whileOpen;
    QString path;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override
    {
        ScriptedPrompts::saveFileName(caption, dir, filter);
        whileOpen();
        return path;
    }
};
} // namespace

void TestApp::savedFileHoldsDataOfWhenTheDialogClosed()
{
    QTemporaryDir dir;
    SlowDialogPrompts prompts;
    prompts.path = dir.filePath("late.nljd");
    MainWindow w(nullptr, new FakePort, &prompts);
    PairRecord& pair5 = w.pairStore()[5];
    pair5.dataFlags |= DataFlag::nljdValid;
    pair5.nljd.harm2 = 100;
    prompts.whileOpen = [&] { pair5.nljd.harm2 = 125; };
    QVERIFY(QMetaObject::invokeMethod(&w, "saveNLD"));
    QFile file(prompts.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Magic (4-byte length + 12 bytes), then four bytes per pair from pair 1: flag, level, 2nd, 3rd.
    QCOMPARE(quint8(file.readAll().at(16 + 4 * 4 + 2)), quint8(125));
}

void TestApp::portClosedMidChunkStopsDelivery()
{
    Rig r;
    r.w->openSerialPort();
    r.port->unplugOnSend = "R"; // the mode select after the connect answer finds the device gone
    r.port->push(Frame::encode(Connected) + Frame::encode(QByteArray("S\x01\x02\x06", 4)) +
                 Frame::encode("#"));
    QVERIFY(!r.port->isOpen());
    QCOMPARE(r.w->linkState(), quint8(0));
    QCOMPARE(r.ui()->lab_ver->text(), QString("2.05"));
    QCOMPARE(r.port->writesWhileClosed, 0);
    QCOMPARE(r.titles.last(), QString("KV847: no connection!"));
}

void TestApp::onlyResourceErrorCloses()
{
    Rig r;
    r.connectAnalyser();
    for (auto e : {QSerialPort::TimeoutError, QSerialPort::ReadError, QSerialPort::WriteError,
                   QSerialPort::UnsupportedOperationError})
        emit r.port->errorOccurred(e);
    QVERIFY(r.port->isOpen());
    QCOMPARE(r.w->linkState(), quint8(2));
    emit r.port->errorOccurred(QSerialPort::ResourceError);
    QVERIFY(!r.port->isOpen());
    QCOMPARE(r.w->linkState(), quint8(0));
}

void TestApp::busyIconsAnimate()
{
    Rig r;
    r.connectAnalyser();
    QPushButton* test = r.ui()->refTEST;
    QPushButton* scan = r.ui()->scanAll;
    const QImage undo = QIcon(":/img/Undo.png").pixmap(16).toImage();
    auto frame = [](int n) { return QIcon(QString(":/proc/proc%1.png").arg(n)).pixmap(16).toImage(); };
    QVERIFY(frame(1) != frame(2));

    r.w->setMeasuring(true);
    r.w->setActivityMarker(11);
    QList<QImage> seen;
    for (int i = 0; i < 9; ++i) {
        r.w->Timer1();
        seen << test->icon().pixmap(16).toImage();
        QCOMPARE(scan->icon().pixmap(16).toImage(), seen.last());
        QVERIFY(!r.ui()->updateBox->isEnabled());
    }
    for (int i = 0; i < 8; ++i)
        QCOMPARE(seen.at(i), frame(i + 1));
    QCOMPARE(seen.at(8), frame(1)); // the counter wraps after eight

    r.w->setMeasuring(false);
    r.w->setActivityMarker(0);
    r.w->Timer1();
    QCOMPARE(test->icon().pixmap(16).toImage(), undo);
    QCOMPARE(scan->icon().pixmap(16).toImage(), undo);
    QVERIFY(r.ui()->updateBox->isEnabled());

    // With no analyser the update box stays shut when the activity ends.
    r.w->setActivityMarker(11);
    r.w->Timer1();
    r.w->closeSerialPort();
    r.w->setActivityMarker(0);
    r.w->Timer1();
    QVERIFY(!r.ui()->updateBox->isEnabled());
}

void TestApp::languageChangeKeepsFirmwareVersion()
{
    Rig r;
    r.connectAnalyser();
    QCOMPARE(r.ui()->lab_ver->text(), QString("2.05"));
    // The analyser reports factor 2.00 in its REFL status (bytes 8 and 9).
    r.port->pushPayload(QByteArray("S\x07\x00\x00\x00\x00\x05\x00\x02\x00", 10));
    QCOMPARE(r.ui()->refFAC->text(), QString("2.00"));
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(r.w.get(), &change);
    QCOMPARE(r.ui()->lab_ver->text(), QString("2.05"));
    QCOMPARE(r.ui()->refFAC->text(), QString("2.00"));
    QCOMPARE(r.ui()->label_25->text(), QString("Set 1"));
    QCOMPARE(r.ui()->tabWidget->tabText(0), QString("LFA"));
}

void TestApp::closeSendsDisconnectOnlyWhenAlive_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("disconnect");
    QTest::newRow("closed") << 0 << false;
    QTest::newRow("requested") << 1 << false;
    QTest::newRow("alive") << 2 << true;
}

void TestApp::closeSendsDisconnectOnlyWhenAlive()
{
    QFETCH(int, state);
    QFETCH(bool, disconnect);
    QList<QByteArray> log;
    {
        Rig r;
        if (state >= 1)
            r.w->openSerialPort();
        if (state >= 2)
            r.port->pushPayload(Connected);
        QCOMPARE(int(r.w->linkState()), state);
        r.port->log = &log;
        log.clear();
        // The shutdown waits while the port still reports bytes going out.
        r.port->pendingWrites = 3;
        int waits = 0;
        r.port->waitLog = &waits;
        r.w.reset();
        QCOMPARE(waits, disconnect ? 4 : 0);
    }
    QCOMPARE(log.contains(QByteArray("U\x00", 2)), disconnect);
    QCOMPARE(log.size(), disconnect ? 1 : 0);
}

// A picture without its @2x twin is blown up, blurred, on a screen scaled by two.
void TestApp::everyPictureHasATwiceSizedTwin()
{
    initKv847Resources();
    int pictures = 0;
    QDirIterator it(":/", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.startsWith(":/qt-project.org") || path.endsWith("@2x.png"))
            continue;
        ++pictures;
        const QString twin = path.left(path.size() - 4) + "@2x.png";
        const QImage one(path), two(twin);
        QVERIFY2(!two.isNull(), qPrintable(twin));
        QCOMPARE(two.size(), one.size() * 2);
    }
    QVERIFY(pictures >= 50);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
