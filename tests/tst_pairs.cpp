// The cable pairs: numbering and store, the enable test, the scan's step search, the cable switch
// panel, the pair table with its delegate and row renderer, and selection and scanning in the window.
#include "modes/nljd/nld.h"
#include "pairs/cablesetup.h"
#include "pairs/myitemdelegate.h"
#include "pairs/pairenable.h"
#include "pairs/pairrow.h"
#include "pairs/pairstore.h"
#include "pairs/pairtable.h"
#include "pairs/setsw.h"
#include "pairs/stepsearch.h"
#include "windowrigs.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>
#include <set>

using Points = QList<QPoint>;
using Payloads = QList<QByteArray>;
Q_DECLARE_METATYPE(Points)

namespace
{
const QByteArray Deselect("I\x01\x00\x00", 4);

QByteArray pairSelect(quint8 a, quint8 b)
{
    return QByteArray("I\x01", 2) + char(a) + char(b);
}

QByteArray pairSelect(int pair)
{
    const PairWires w = pairWires(pair);
    return pairSelect(w.a, w.b);
}

// Where a press lands on the cable switch panel.
const QPoint TwistedConnector(100, 80);
const QPoint NonTwistedConnector(250, 80);
const QPoint ShieldLine(170, 295);
QPoint typeRow(int type)
{
    return QPoint(100, 145 + 35 * type);
}
QPoint pinBox(int wire)
{
    return wire <= 4 ? QPoint(216, 145 + 35 * (wire - 1)) : QPoint(278, 145 + 35 * (wire - 5));
}

void press(QWidget* w, const QPoint& at)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

// The window on a fake analyser that has answered the connect request.
struct Rig : FakePortWindowRig {
    Rig() { connectAnalyser(); }
    setSW* sw() const { return w->cableSwitch(); }
    void showTab(int tab)
    {
        ui()->tabWidget->setCurrentIndex(tab);
        log.clear();
    }
    // A non-twisted cable with exactly these wires, and the shield as asked.
    void cable(const std::set<int>& wires, bool shield)
    {
        press(sw(), NonTwistedConnector);
        for (int wire = 1; wire <= 8; ++wire)
            if (!wires.count(wire))
                press(sw(), pinBox(wire));
        if (sw()->shield() != shield)
            press(sw(), ShieldLine);
        log.clear();
    }
    QList<int> enabledPairs() const
    {
        QList<int> pairs;
        for (int p = 1; p <= PairCount; ++p)
            if (w->pairStore()[p].excluded == 0)
                pairs << p;
        return pairs;
    }
    bool rowSelected(int row) const
    {
        for (int c = 0; c < 4; ++c)
            if (!ui()->swTAB->item(row, c)->isSelected())
                return false;
        return true;
    }
    int selectedRows() const { return ui()->swTAB->selectedItems().size() / 4; }
};

QColor textColour(const QTableWidget& t, int row, int col)
{
    return t.item(row, col)->foreground().color();
}
} // namespace

class TestPairs : public QObject
{
    Q_OBJECT
private slots:
    // Numbering and store.
    void lookup_data();
    void lookup();
    void storeHoldsEveryPairOnce();
    void clearingKeepsWiresAndLevel();

    // Enable test.
    void enableTest_data();
    void enableTest();

    // Step search.
    void scanRound_data();
    void scanRound();
    void searchEndsWhenTheLastPairVanishes();

    // Cable switch panel.
    void cableClicks_data();
    void cableClicks();
    void panelSignalsOnlyChanges();
    void paintingMatchesClickZones();

    // Pair table pieces.
    void delegateKeepsCellColour_data();
    void delegateKeepsCellColour();
    void lfaCells_data();
    void lfaCells();
    void wrxCellsAndExcludedRows();
    void pairNamesAndTwistedColours_data();
    void pairNamesAndTwistedColours();

    // In the window.
    void tableLaysOutPerMode();
    void rowsFitThePanel_data();
    void rowsFitThePanel();
    void switchButtonShowsPanelInPlace();
    void clickSelectsAndDeselects();
    void wiresOffDeselect();
    void emptyCableStartsNoScan();
    void twoWiresScanVisitsOnePair();
    void scanFromFiveWrapsAndEndsOnFive();
    void scanOnTheOnlyPairKeepsIt();
    void scanLocksPanelUntilItStops();
    void timerPace_data();
    void timerPace();
    void analyserPairStopsScan();
    void clearAllAsksFirst();
    void virtualAnalyserFollowsScan();
};

// --- Numbering and store ---

void TestPairs::lookup_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("pair");
    QTest::newRow("1-2") << 1 << 2 << 1;
    QTest::newRow("1-3") << 1 << 3 << 2;
    QTest::newRow("1-8") << 1 << 8 << 7;
    QTest::newRow("2-3") << 2 << 3 << 8;
    QTest::newRow("3-4") << 3 << 4 << 14;
    QTest::newRow("7-8") << 7 << 8 << 28;
    QTest::newRow("1-SH") << 1 << 9 << 29;
    QTest::newRow("8-SH") << 8 << 9 << 36;
    QTest::newRow("reversed") << 2 << 1 << 0;
    QTest::newRow("same wire") << 3 << 3 << 0;
    QTest::newRow("wire 0") << 0 << 5 << 0;
    QTest::newRow("shield first") << 9 << 1 << 0;
    QTest::newRow("no wire 10") << 1 << 10 << 0;
}

void TestPairs::lookup()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, pair);
    QCOMPARE(int(pairNumberOf(quint8(a), quint8(b))), pair);
}

void TestPairs::storeHoldsEveryPairOnce()
{
    PairStore store;
    QCOMPARE(store[0].wireA, quint8(0));
    QCOMPARE(store[0].wireB, quint8(0));
    // The wire pairs in order, then every wire against the shield.
    QList<QPair<int, int>> expected;
    for (int a = 1; a <= 7; ++a)
        for (int b = a + 1; b <= 8; ++b)
            expected.append({a, b});
    for (int a = 1; a <= 8; ++a)
        expected.append({a, 9});
    QCOMPARE(expected.size(), PairCount);
    for (int p = 1; p <= PairCount; ++p) {
        QCOMPARE(int(store[p].wireA), expected[p - 1].first);
        QCOMPARE(int(store[p].wireB), expected[p - 1].second);
    }
}

void TestPairs::clearingKeepsWiresAndLevel()
{
    PairStore store;
    for (int p = 0; p <= PairCount; ++p) {
        PairRecord& r = store[p];
        r.dataFlags = DataFlag::lfaValid | DataFlag::nljdValid;
        r.nljd = {3, 120, 80};
        r.signalCount = 17;
        r.refl.trace.fill(200);
    }
    store.clearMeasurements();
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& r = store[p];
        QCOMPARE(r.dataFlags, quint8(0));
        QCOMPARE(r.nljd.harm2, quint8(0));
        QCOMPARE(r.nljd.harm3, quint8(0));
        QCOMPARE(r.nljd.level, quint8(3));
        QCOMPARE(r.signalCount, quint8(0));
        QCOMPARE(r.refl.trace[0] + r.refl.trace[511], 0);
        QCOMPARE(int(pairNumberOf(r.wireA, r.wireB)), p);
    }
    // Record 0 is no pair and is not touched.
    QCOMPARE(store[0].signalCount, quint8(17));
}

// --- Enable test ---

void TestPairs::enableTest_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("shield");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("mains");
    QTest::addColumn<QString>("compare");
    QTest::addColumn<int>("marker"); // file marker of every pair
    QTest::addColumn<int>("pair");
    QTest::addColumn<int>("wireA"); // for pair 0
    QTest::addColumn<int>("wireB");
    QTest::addColumn<bool>("enabled");

    const QString none;
    QTest::newRow("all wires, 1-2") << 0xFF << true << 0 << false << none << 0 << 1 << 0 << 0 << true;
    QTest::newRow("all wires, 8-SH") << 0xFF << true << 0 << false << none << 0 << 36 << 0 << 0 << true;
    QTest::newRow("shield off, 8-SH") << 0xFF << false << 0 << false << none << 0 << 36 << 0 << 0 << false;
    QTest::newRow("wires 1,3: 1-3") << 0x05 << false << 0 << false << none << 0 << 2 << 0 << 0 << true;
    QTest::newRow("wires 1,3: 1-2") << 0x05 << false << 0 << false << none << 0 << 1 << 0 << 0 << false;
    QTest::newRow("wires 1,3: 3-4") << 0x05 << false << 0 << false << none << 0 << 15 << 0 << 0 << false;
    QTest::newRow("wires 1,3: 1-SH") << 0x05 << false << 0 << false << none << 0 << 29 << 0 << 0 << false;
    QTest::newRow("shield alone") << 0x00 << true << 0 << false << none << 0 << 29 << 0 << 0 << false;
    QTest::newRow("wire 1 and shield") << 0x01 << true << 0 << false << none << 0 << 29 << 0 << 0 << true;

    QTest::newRow("mains on WRx: 1-2") << 0xFF << true << 1 << true << none << 0 << 1 << 0 << 0 << true;
    QTest::newRow("mains on WRx: 1-3") << 0xFF << true << 1 << true << none << 0 << 2 << 0 << 0 << false;
    QTest::newRow("mains on WRx, wire 2 off")
        << 0xFD << true << 1 << true << none << 0 << 1 << 0 << 0 << false;
    QTest::newRow("mains off the WRx tab") << 0xFF << true << 0 << true << none << 0 << 2 << 0 << 0 << true;

    const QString nljd("nljd"), refl("refl");
    QTest::newRow("NLJD file lacks the pair")
        << 0xFF << true << 2 << false << nljd << 255 << 5 << 0 << 0 << false;
    QTest::newRow("NLJD file has it, wires off")
        << 0x00 << false << 2 << false << nljd << 0 << 5 << 0 << 0 << true;
    QTest::newRow("NLJD compare on another tab")
        << 0x00 << false << 3 << false << nljd << 0 << 5 << 0 << 0 << false;
    QTest::newRow("REFL file lacks the pair")
        << 0xFF << true << 3 << false << refl << 251 << 5 << 0 << 0 << false;
    QTest::newRow("REFL no-data entry counts")
        << 0x00 << false << 3 << false << refl << 250 << 5 << 0 << 0 << true;
    QTest::newRow("REFL absent is not NLJD's")
        << 0xFF << true << 3 << false << refl << 255 << 5 << 0 << 0 << true;

    QTest::newRow("p0 no wires") << 0x00 << false << 0 << false << none << 0 << 0 << 0 << 0 << true;
    QTest::newRow("p0 wire A off") << 0xF7 << true << 0 << false << none << 0 << 0 << 4 << 5 << false;
    QTest::newRow("p0 wire B off") << 0xEF << true << 0 << false << none << 0 << 0 << 4 << 5 << false;
    QTest::newRow("p0 both on") << 0x18 << false << 0 << false << none << 0 << 0 << 4 << 5 << true;
    QTest::newRow("p0 shield off") << 0xFF << false << 0 << false << none << 0 << 0 << 2 << 9 << false;
    QTest::newRow("p0 shield on") << 0x02 << true << 0 << false << none << 0 << 0 << 2 << 9 << true;
    QTest::newRow("p0 wire B 10 untested")
        << 0x02 << false << 0 << false << none << 0 << 0 << 2 << 10 << true;
}

void TestPairs::enableTest()
{
    QFETCH(int, mask);
    QFETCH(bool, shield);
    QFETCH(int, tab);
    QFETCH(bool, mains);
    QFETCH(QString, compare);
    QFETCH(int, marker);
    QFETCH(int, pair);
    QFETCH(int, wireA);
    QFETCH(int, wireB);
    QFETCH(bool, enabled);

    quint8 markers[PairCount + 1];
    std::fill(std::begin(markers), std::end(markers), quint8(marker));
    PairEnableInputs in;
    in.wireMask = quint8(mask);
    in.shield = shield;
    in.shownTab = tab;
    in.wrxMains = mains;
    in.nljdCompare = compare == "nljd";
    in.reflCompare = compare == "refl";
    in.nljdFileMarkers = markers;
    in.reflFileMarkers = markers;
    QCOMPARE(pairEnabled(in, pair, quint8(wireA), quint8(wireB)), enabled);
}

// --- Step search ---

void TestPairs::scanRound_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<QList<int>>("visits"); // every candidate until the round ends

    QList<int> all, fromSix;
    for (int p = 1; p <= PairCount; ++p)
        all << p;
    for (int p = 6; p <= PairCount; ++p)
        fromSix << p;
    fromSix << 1 << 2 << 3 << 4 << 5;

    QTest::newRow("nothing enabled") << 0 << QList<int>{} << QList<int>{0};
    QTest::newRow("only 1-3 from none") << 0 << QList<int>{2} << QList<int>{2, 0};
    QTest::newRow("two from none") << 0 << QList<int>{7, 36} << QList<int>{7, 36, 0};
    QTest::newRow("all from none") << 0 << all << (all + QList<int>{0});
    QTest::newRow("all from 5") << 5 << all << fromSix;
    QTest::newRow("from 5, 30 and 5") << 5 << QList<int>{5, 30} << QList<int>{30, 5};
    QTest::newRow("from 5, only 5") << 5 << QList<int>{5} << QList<int>{5};
    QTest::newRow("from 36, 1 and 36") << 36 << QList<int>{1, 36} << QList<int>{1, 36};
    QTest::newRow("from 1, only 1") << 1 << QList<int>{1} << QList<int>{1};
}

void TestPairs::scanRound()
{
    QFETCH(int, start);
    QFETCH(QList<int>, enabled);
    QFETCH(QList<int>, visits);
    const auto isOn = [&](int p) { return enabled.contains(p); };
    QList<int> seen;
    int pair = start, steps = 0;
    for (int guard = 0; guard < 100; ++guard) {
        const ScanStep s = stepSearch(pair, steps, isOn);
        seen << s.candidate;
        pair = s.candidate;
        steps = s.stepCount;
        if (s.ends)
            break;
    }
    QCOMPARE(seen, visits);
    QCOMPARE(steps, ScanRound);
}

void TestPairs::searchEndsWhenTheLastPairVanishes()
{
    // Started on 5, only 5 and 30 on; 5 is switched off while the scan is at 30.
    const ScanStep first = stepSearch(5, 0, [](int p) { return p == 5 || p == 30; });
    QCOMPARE(first.candidate, 30);
    const ScanStep last = stepSearch(first.candidate, first.stepCount, [](int p) { return p == 30; });
    QCOMPARE(last.candidate, 0);
    QVERIFY(last.ends);
    // Nothing left at all, from the middle of a round.
    const ScanStep none = stepSearch(20, 15, [](int) { return false; });
    QCOMPARE(none.candidate, 0);
    QVERIFY(none.ends);
}

// --- Cable switch panel ---

void TestPairs::cableClicks_data()
{
    QTest::addColumn<Points>("clicks");
    QTest::addColumn<bool>("lastChanged");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("shield");

    QTest::newRow("start") << Points{} << false << 3 << 0xFF << true;
    QTest::newRow("2 wires") << Points{typeRow(0)} << true << 0 << 0x18 << true;
    QTest::newRow("4 wires") << Points{typeRow(1)} << true << 1 << 0x3C << true;
    QTest::newRow("6 wires") << Points{typeRow(2)} << true << 2 << 0x7E << true;
    QTest::newRow("4 wires again") << Points{typeRow(1), typeRow(1)} << false << 1 << 0x3C << true;
    QTest::newRow("8 wires already") << Points{typeRow(3)} << false << 3 << 0xFF << true;
    QTest::newRow("row edges") << Points{QPoint(141, 155)} << true << 0 << 0x18 << true;
    QTest::newRow("right of the rows") << Points{QPoint(142, 145)} << false << 3 << 0xFF << true;
    QTest::newRow("between rows") << Points{QPoint(100, 160)} << false << 3 << 0xFF << true;
    QTest::newRow("pins ignored when twisted") << Points{pinBox(1)} << false << 3 << 0xFF << true;
    QTest::newRow("active connector") << Points{TwistedConnector} << false << 3 << 0xFF << true;

    QTest::newRow("to non-twisted") << Points{typeRow(0), NonTwistedConnector} << true << 10 << 0xFF << true;
    QTest::newRow("pin 1 off") << Points{NonTwistedConnector, pinBox(1)} << true << 10 << 0xFE << true;
    QTest::newRow("pin 8 off") << Points{NonTwistedConnector, pinBox(8)} << true << 10 << 0x7F << true;
    QTest::newRow("pin 5 off and on")
        << Points{NonTwistedConnector, pinBox(5), pinBox(5)} << true << 10 << 0xFF << true;
    QTest::newRow("pin column edges")
        << Points{NonTwistedConnector, QPoint(241, 240), QPoint(253, 260)} << true << 10 << 0x77 << true;
    QTest::newRow("between pin columns")
        << Points{NonTwistedConnector, QPoint(247, 145)} << false << 10 << 0xFF << true;
    QTest::newRow("types ignored when non-twisted")
        << Points{NonTwistedConnector, typeRow(0)} << false << 10 << 0xFF << true;
    QTest::newRow("active non-twisted connector")
        << Points{NonTwistedConnector, NonTwistedConnector} << false << 10 << 0xFF << true;
    QTest::newRow("back to twisted: all wires")
        << Points{NonTwistedConnector, pinBox(2), TwistedConnector} << true << 3 << 0xFF << true;

    QTest::newRow("shield off, twisted") << Points{ShieldLine} << true << 3 << 0xFF << false;
    QTest::newRow("shield off, non-twisted")
        << Points{NonTwistedConnector, ShieldLine} << true << 10 << 0xFF << false;
    QTest::newRow("shield kept across panels")
        << Points{ShieldLine, NonTwistedConnector} << true << 10 << 0xFF << false;
    QTest::newRow("shield line edge") << Points{QPoint(251, 295)} << false << 3 << 0xFF << true;
}

void TestPairs::cableClicks()
{
    QFETCH(Points, clicks);
    QFETCH(bool, lastChanged);
    QFETCH(int, type);
    QFETCH(int, mask);
    QFETCH(bool, shield);
    CableSetup setup;
    bool changed = false;
    for (const QPoint& at : clicks)
        changed = setup.press(at.x(), at.y());
    QCOMPARE(changed, lastChanged);
    QCOMPARE(int(setup.cableType()), type);
    QCOMPARE(int(setup.wireMask()), mask);
    QCOMPARE(setup.shield(), shield);
}

void TestPairs::panelSignalsOnlyChanges()
{
    setSW sw;
    QSignalSpy spy(&sw, &setSW::changeSW);
    press(&sw, typeRow(1));
    press(&sw, typeRow(1)); // already set: silent
    press(&sw, TwistedConnector);
    press(&sw, NonTwistedConnector);
    press(&sw, pinBox(3));
    press(&sw, ShieldLine);
    QCOMPARE(spy.count(), 4);
    const auto args = [&](int i) {
        const QList<QVariant> a = spy.at(i);
        return QList<int>{a.at(0).toInt(), a.at(1).toInt(), a.at(2).toBool()};
    };
    QCOMPARE(args(0), (QList<int>{1, 0x3C, 1}));
    QCOMPARE(args(1), (QList<int>{10, 0xFF, 1}));
    QCOMPARE(args(2), (QList<int>{10, 0xFB, 1}));
    QCOMPARE(args(3), (QList<int>{10, 0xFB, 0}));
}

void TestPairs::paintingMatchesClickZones()
{
    setSW sw;
    const QColor white(Qt::white), grey(172, 172, 172), red(230, 0, 0), black(Qt::black);
    const auto colourAt = [&](const QPoint& at) { return sw.grab().toImage().pixelColor(at); };

    // Twisted, 8 wires: the 8-wire box is the white one; all pins and the shield bar red.
    for (int type = 0; type < 3; ++type)
        QCOMPARE(colourAt(typeRow(type) + QPoint(-34, 0)), grey);
    QCOMPARE(colourAt(typeRow(3) + QPoint(-34, 0)), white);
    QCOMPARE(colourAt(QPoint(68 + 2, 80)), red);      // pin 1
    QCOMPARE(colourAt(QPoint(68 + 63 + 2, 80)), red); // pin 8
    QCOMPARE(colourAt(QPoint(68 + 30, 98)), red);     // shield bar
    QCOMPARE(colourAt(QPoint(213 + 2, 80)), black);   // inactive connector
    QCOMPARE(colourAt(QPoint(120, 295)), white);      // shield box

    press(&sw, typeRow(0)); // wires 4 and 5
    QCOMPARE(colourAt(typeRow(0) + QPoint(-34, 0)), white);
    QCOMPARE(colourAt(QPoint(68 + 2, 80)), black);
    QCOMPARE(colourAt(QPoint(68 + 27 + 2, 80)), red); // pin 4

    press(&sw, NonTwistedConnector);
    press(&sw, pinBox(2));
    press(&sw, pinBox(7));
    press(&sw, ShieldLine);
    for (int wire = 1; wire <= 8; ++wire) {
        const QColor expected = wire == 2 || wire == 7 ? grey : white;
        QCOMPARE(colourAt(pinBox(wire) + QPoint(-22, 0)), expected);
        QCOMPARE(colourAt(pinBox(wire) + QPoint(22, 0)), expected);
    }
    QCOMPARE(colourAt(QPoint(213 + 9 + 2, 80)), black); // pin 2 off
    QCOMPARE(colourAt(QPoint(213 + 2, 80)), red);       // pin 1 on
    QCOMPARE(colourAt(QPoint(213 + 30, 98)), black);    // shield off
    QCOMPARE(colourAt(QPoint(68 + 2, 80)), black);      // twisted side is inactive now
    QCOMPARE(colourAt(QPoint(120, 295)), grey);
}

// --- Pair table pieces ---

void TestPairs::delegateKeepsCellColour_data()
{
    QTest::addColumn<QVariant>("foreground");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QColor>("text");
    const QColor red(0xFF5555), white(Qt::white), green(Qt::green);
    QTest::newRow("brush, selected") << QVariant(QBrush(red)) << true << red;
    QTest::newRow("colour, selected") << QVariant(red) << true << red;
    QTest::newRow("none, selected") << QVariant() << true << white;
    QTest::newRow("window text, selected") << QVariant(green) << true << white;
    // Every colour group keeps the cell's colour, not only the active one.
    QTest::newRow("brush, selected, window inactive") << QVariant(QBrush(red)) << false << red;
}

void TestPairs::delegateKeepsCellColour()
{
    QFETCH(QVariant, foreground);
    QFETCH(bool, active);
    QFETCH(QColor, text);

    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("\u2588\u2588\u2588"));
    if (foreground.isValid())
        model.setData(model.index(0, 0), foreground, Qt::ForegroundRole);

    QStyleOptionViewItem opt;
    opt.rect = QRect(0, 0, 120, 40);
    opt.state = QStyle::State_Enabled | QStyle::State_Selected;
    if (active)
        opt.state |= QStyle::State_Active;
    opt.font.setPixelSize(30);
    opt.palette.setColor(QPalette::Highlight, Qt::blue);
    opt.palette.setColor(QPalette::HighlightedText, Qt::white);
    opt.palette.setColor(QPalette::WindowText, Qt::green);
    opt.palette.setColor(QPalette::Base, Qt::black);
    opt.palette.setColor(QPalette::Text, Qt::yellow);

    QImage img(opt.rect.size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        MyItemDelegate().paint(&p, opt, model.index(0, 0));
    }
    int hits = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            hits += img.pixelColor(x, y) == text;
    QVERIFY2(hits > 100, qPrintable(QString("%1 pixels of %2").arg(hits).arg(text.name())));
}

void TestPairs::lfaCells_data()
{
    QTest::addColumn<float>("dc");
    QTest::addColumn<float>("ac");
    QTest::addColumn<int>("statusA");
    QTest::addColumn<int>("statusC");
    QTest::addColumn<bool>("over");
    QTest::addColumn<QString>("dcText");
    QTest::addColumn<QColor>("dcColour");
    QTest::addColumn<QString>("acText");
    QTest::addColumn<QColor>("acColour");

    const QColor white(0xFFFFFF), red(0xFF5555), green(0x55FF55);
    QTest::newRow("plain") << 12.34f << 0.456f << 1 << 0 << false << "12.3 v" << white << "0.46 v" << white;
    QTest::newRow("negative dc") << -7.06f << 0.0f << 1 << 0 << false << "-7.1 v" << white << "0.00 v"
                                 << white;
    QTest::newRow("over-voltage") << 60.0f << 1.0f << 1 << 0 << true << "60.0 v" << red << "1.00 v" << white;
    QTest::newRow("status fine") << 0.5f << 1.0f << 0 << 0 << false << "0.5 v" << green << "1.00 v" << white;
    QTest::newRow("green beats red") << 0.5f << 1.0f << 0 << 1 << true << "0.5 v" << green << "1.00 v"
                                     << white;
    QTest::newRow("status C 5") << 0.5f << 1.0f << 0 << 5 << false << "0.5 v" << white << "1.00 v" << white;
    QTest::newRow("status C 5, over")
        << 0.5f << 1.0f << 0 << 5 << true << "0.5 v" << red << "1.00 v" << white;
    QTest::newRow("ac 3.0") << 1.0f << 3.0f << 1 << 0 << false << "1.0 v" << white << "3.00 v" << white;
    QTest::newRow("ac above 3") << 1.0f << 3.01f << 1 << 0 << false << "1.0 v" << white << "3.01 v" << red;
}

void TestPairs::lfaCells()
{
    QFETCH(float, dc);
    QFETCH(float, ac);
    QFETCH(int, statusA);
    QFETCH(int, statusC);
    QFETCH(bool, over);
    QFETCH(QString, dcText);
    QFETCH(QColor, dcColour);
    QFETCH(QString, acText);
    QFETCH(QColor, acColour);

    QTableWidget t;
    PairTable::setUp(t);
    PairStore store;
    PairRecord& r = store[4];
    r.dataFlags = DataFlag::lfaValid;
    r.dcVoltage = dc;
    r.acVoltage = ac;
    r.statusA = quint8(statusA);
    r.statusC = quint8(statusC);
    PairRowContext ctx;
    ctx.overVoltage = over;
    renderPairRow(t, 4, r, ctx);
    QCOMPARE(t.item(4, 1)->text(), dcText);
    QCOMPARE(textColour(t, 4, 1), dcColour);
    QCOMPARE(t.item(4, 2)->text(), acText);
    QCOMPARE(textColour(t, 4, 2), acColour);
}

void TestPairs::wrxCellsAndExcludedRows()
{
    QTableWidget t;
    PairTable::setUp(t);
    PairStore store;
    PairRecord& r = store[9];
    r.dataFlags = DataFlag::lfaValid | DataFlag::wrxValid;
    r.signalCount = 12;
    r.uniqueCount = 3;
    PairRowContext ctx;
    ctx.shownTab = 1;
    renderPairRow(t, 9, r, ctx);
    QCOMPARE(t.item(9, 1)->text(), QString("12"));
    QCOMPARE(t.item(9, 2)->text(), QString("3"));
    QCOMPARE(r.excluded, quint8(0));

    // A pair the cable does not allow shows nothing and is marked excluded.
    ctx.enabled = false;
    renderPairRow(t, 9, r, ctx);
    QVERIFY(t.item(9, 1)->text().isEmpty() && t.item(9, 2)->text().isEmpty());
    QCOMPARE(r.excluded, quint8(1));
    QVERIFY(t.item(9, 0)->font().italic());
    QCOMPARE(textColour(t, 9, 0), QColor(0xAAAAAA));

    // Without a finished search the cells stay empty; the LFA values do not leak into WRx.
    ctx.enabled = true;
    r.dataFlags = DataFlag::lfaValid;
    renderPairRow(t, 9, r, ctx);
    QVERIFY(t.item(9, 1)->text().isEmpty());
    QVERIFY(!t.item(9, 0)->font().italic());
    QCOMPARE(t.item(9, 0)->font().weight(), 63);
}

void TestPairs::pairNamesAndTwistedColours_data()
{
    QTest::addColumn<int>("pair");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("twisted");
    QTest::newRow("1-2, 8 wires") << 1 << 3 << "1-2" << true;
    QTest::newRow("3-6, 4 wires") << int(pairNumberOf(3, 6)) << 1 << "3-6" << true;
    QTest::newRow("4-5, 2 wires") << int(pairNumberOf(4, 5)) << 0 << "4-5" << true;
    QTest::newRow("7-8") << 28 << 3 << "7-8" << true;
    QTest::newRow("2-7, 6 wires") << int(pairNumberOf(2, 7)) << 2 << "2-7" << true;
    QTest::newRow("2-7, 8 wires") << int(pairNumberOf(2, 7)) << 3 << "2-7" << false;
    QTest::newRow("3-5") << int(pairNumberOf(3, 5)) << 3 << "3-5" << false;
    QTest::newRow("1-2 non-twisted") << 1 << 10 << "1-2" << false;
    QTest::newRow("1-SH") << 29 << 3 << "1-SH" << false;
    QTest::newRow("8-SH") << 36 << 3 << "8-SH" << false;
}

void TestPairs::pairNamesAndTwistedColours()
{
    QFETCH(int, pair);
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(bool, twisted);
    QTableWidget t;
    PairTable::setUp(t);
    PairStore store;
    PairRowContext ctx;
    ctx.cableType = quint8(type);
    renderPairRow(t, pair, store[pair], ctx);
    QCOMPARE(t.item(pair, 0)->text(), name);
    QCOMPARE(textColour(t, pair, 0), twisted ? QColor(160, 220, 255) : QColor(0xFFFFFF));
}

// --- In the window ---

void TestPairs::tableLaysOutPerMode()
{
    Rig r;
    QTableWidget* t = r.ui()->swTAB;
    const auto header = [&](int c) { return t->item(0, c)->text(); };
    const auto nld = [&](int row) { return qobject_cast<NLD*>(t->cellWidget(row, 3)); };
    QCOMPARE(t->rowCount(), 37);
    QCOMPARE(header(0), QString("PAIR"));
    QVERIFY(nld(1) && nld(36) && nld(17)->pair() == 17);
    QVERIFY(qobject_cast<MyItemDelegate*>(t->itemDelegate()));

    QCOMPARE(header(1), QString("Vdc"));
    QCOMPARE(header(2), QString("Vac"));
    QCOMPARE(t->columnWidth(3), 0);
    const int rest = t->columnWidth(1) + t->columnWidth(2);
    QVERIFY(qAbs(t->columnWidth(1) - t->columnWidth(2)) <= 1);

    r.showTab(3);
    QCOMPARE(header(3), QString("Level/Distance"));
    QCOMPARE(t->columnWidth(1) + t->columnWidth(2), 0);
    QCOMPARE(t->columnWidth(3), rest);
    QVERIFY(nld(1)->reflMode() && nld(36)->reflMode());

    r.showTab(4); // the report tab keeps the announced mode's columns
    QCOMPARE(header(3), QString("Level/Distance"));
    QVERIFY(nld(5)->reflMode());

    r.showTab(0); // LFA leaves the indicators as they were
    QVERIFY(nld(5)->reflMode());
    QCOMPARE(t->columnWidth(3), 0);

    r.showTab(2);
    QCOMPARE(header(3), QString("Harmonics"));
    QVERIFY(!nld(5)->reflMode());
    r.w->show();
    r.w->resizeWIN();
    QCoreApplication::processEvents();
    // A press on an indicator selects its row.
    const QPoint at = t->visualRect(t->model()->index(6, 3)).center();
    QWidget* target = t->viewport()->childAt(at);
    QCOMPARE(target, static_cast<QWidget*>(nld(6)));
    press(target, target->mapFrom(t->viewport(), at));
    QCOMPARE(r.w->currentPair(), quint8(6));

    r.showTab(1);
    QCOMPARE(header(1), QString("Total signals"));
    QCOMPARE(header(2), QString("Unique signals"));
}

void TestPairs::rowsFitThePanel_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("start size") << QSize(991, 677);
    QTest::newRow("wide and tall") << QSize(1600, 1000);
    QTest::newRow("tall") << QSize(1000, 1400);
}

void TestPairs::rowsFitThePanel()
{
    QFETCH(QSize, size);
    Rig r;
    r.w->show();
    r.w->resizeSLOT(size);
    QCoreApplication::processEvents();
    QTableWidget* t = r.ui()->swTAB;
    int height = 0, width = 0;
    for (int row = 0; row < t->rowCount(); ++row)
        height += t->rowHeight(row);
    for (int c = 0; c < t->columnCount(); ++c)
        width += t->columnWidth(c);
    QVERIFY2(height <= t->contentsRect().height(), qPrintable(QString::number(height)));
    QVERIFY(height >= t->contentsRect().height() - 40);
    QVERIFY(width <= t->contentsRect().width());
    QVERIFY(t->columnWidth(0) >= 45);
    QVERIFY(!t->verticalScrollBar()->isVisible());

    // The sizes follow from the table's inner room: right - left - 1 of its rectangle.
    const QRect g = t->geometry();
    const int w = g.right() - g.left() - 1, h = g.bottom() - g.top() - 1;
    QCOMPARE(t->columnWidth(0), std::max(5 * w / 29, 45));
    QCOMPARE(t->columnWidth(1) + t->columnWidth(2), w - std::max(5 * w / 29, 45));
    QCOMPARE(t->rowHeight(0), h / 37 + 7);
    QCOMPARE(t->rowHeight(20), (h - 7) / 37);
}

void TestPairs::switchButtonShowsPanelInPlace()
{
    Rig r;
    r.w->resizeSLOT(QSize(1400, 800));
    setSW* sw = r.sw();
    QVERIFY(sw->isHidden());
    r.ui()->swSET->setChecked(true);
    QVERIFY(!sw->isHidden());
    // Left of the pair panel, which starts at 1400 - 300.
    QCOMPARE(sw->geometry(), QRect(QPoint(1100 - 350, 29), QPoint(1099, 358)));
    r.ui()->swSET->setChecked(false);
    QVERIFY(sw->isHidden());
}

void TestPairs::clickSelectsAndDeselects()
{
    Rig r;
    QSignalSpy komm(r.w.get(), &MainWindow::sigKOMM);
    r.ui()->nldERR->setPlainText("old verdict");
    r.ui()->refERR->setPlainText("old verdict");

    r.w->swClick(7, 0);
    QCOMPARE(r.log, Payloads{pairSelect(1, 8)});
    QCOMPARE(r.w->currentPair(), quint8(7));
    QVERIFY(r.rowSelected(7));
    QCOMPARE(r.selectedRows(), 1);

    r.w->swClick(30, 2); // another row moves the selection
    QCOMPARE(r.w->currentPair(), quint8(30));
    QVERIFY(r.rowSelected(30) && !r.rowSelected(7));

    r.w->swClick(30, 1); // the same row again lets it go
    QCOMPARE(r.log.last(), Deselect);
    QCOMPARE(r.w->currentPair(), quint8(0));
    QCOMPARE(r.selectedRows(), 0);
    QVERIFY(r.ui()->nldERR->toPlainText().isEmpty() && r.ui()->refERR->toPlainText().isEmpty());

    r.w->swClick(3, 1);
    r.w->swClick(0, 3); // the header row deselects too
    QCOMPARE(r.log.last(), Deselect);
    QCOMPARE(r.w->currentPair(), quint8(0));
    QCOMPARE(komm.count(), 5);

    // A row the cable does not allow cannot be clicked.
    r.cable({1, 2}, false);
    r.w->swClick(2, 0);
    QVERIFY(r.log.isEmpty());
    QCOMPARE(r.w->currentPair(), quint8(0));
}

void TestPairs::wiresOffDeselect()
{
    Rig r;
    r.w->swClick(1, 0); // 1-2
    r.log.clear();
    press(r.sw(), typeRow(0)); // 2 wires: 4 and 5 only
    QCOMPARE(r.log, Payloads{Deselect});
    QCOMPARE(r.w->currentPair(), quint8(0));
    QCOMPARE(r.enabledPairs(), (QList<int>{pairNumberOf(4, 5), pairNumberOf(4, 9), pairNumberOf(5, 9)}));
    QVERIFY(r.ui()->swTAB->item(1, 0)->font().italic());

    r.w->swClick(pairNumberOf(4, 5), 0);
    r.log.clear();
    press(r.sw(), typeRow(1)); // 4 wires still hold 4-5
    QVERIFY(r.log.isEmpty());
    QCOMPARE(r.w->currentPair(), pairNumberOf(4, 5));
}

void TestPairs::emptyCableStartsNoScan()
{
    Rig r;
    r.showTab(3); // where a scan that starts measures at once
    r.cable({}, false);
    QVERIFY(r.enabledPairs().isEmpty());
    r.ui()->scanAll->setChecked(true);
    QVERIFY(!r.ui()->scanAll->isChecked());
    QVERIFY(!r.w->scanning());
    QCOMPARE(r.w->currentPair(), quint8(0));
    QCOMPARE(r.w->activityMarker(), quint8(0));
    QVERIFY(r.ui()->swSET->isEnabled() && r.ui()->tabWidget->isEnabled() && r.ui()->butClear->isEnabled());
    QVERIFY(!r.log.contains(QByteArray("F\x04", 2)));
}

void TestPairs::twoWiresScanVisitsOnePair()
{
    Rig r;
    r.cable({1, 3}, false);
    QCOMPARE(r.enabledPairs(), QList<int>{2});
    r.ui()->scanAll->setChecked(true);
    QCOMPARE(r.log, Payloads{pairSelect(1, 3)});
    QCOMPARE(r.w->currentPair(), quint8(2));
    QVERIFY(r.w->scanning());
    QCOMPARE(r.w->activityMarker(), quint8(11));

    r.w->scanAll();
    QCOMPARE(r.log, (Payloads{pairSelect(1, 3), Deselect}));
    QCOMPARE(r.w->currentPair(), quint8(0));
    QVERIFY(!r.ui()->scanAll->isChecked());
    QVERIFY(!r.w->scanning());
    QCOMPARE(r.w->activityMarker(), quint8(0));
}

void TestPairs::scanFromFiveWrapsAndEndsOnFive()
{
    Rig r;
    r.w->swClick(5, 0);
    r.log.clear();
    r.ui()->scanAll->setChecked(true);
    QVERIFY(r.log.isEmpty()); // the selected pair is the first of the scan
    QVERIFY(r.w->scanning());

    Payloads expected;
    for (int p = 6; p <= PairCount; ++p)
        expected << pairSelect(p);
    for (int p = 1; p <= 5; ++p)
        expected << pairSelect(p);
    for (int i = 0; i < expected.size() && r.w->scanning(); ++i)
        r.w->scanAll();
    QCOMPARE(r.log, expected);
    QVERIFY(!r.w->scanning());
    QVERIFY(!r.ui()->scanAll->isChecked());
    QCOMPARE(r.w->currentPair(), quint8(5));
    QVERIFY(r.rowSelected(5));
    QCOMPARE(r.selectedRows(), 1);
}

void TestPairs::scanOnTheOnlyPairKeepsIt()
{
    Rig r;
    r.cable({1, 2}, false);
    r.w->swClick(1, 0);
    r.ui()->scanAll->setChecked(true);
    r.log.clear();
    r.w->scanAll(); // the round comes straight back to 1-2
    QCOMPARE(r.log, Payloads{pairSelect(1, 2)});
    QVERIFY(!r.w->scanning());
    QCOMPARE(r.w->currentPair(), quint8(1));
    QVERIFY(r.rowSelected(1));
}

void TestPairs::scanLocksPanelUntilItStops()
{
    Rig r;
    Ui::MainWindow* ui = r.ui();
    ui->scanAll->setChecked(true);
    const auto locked = [&] {
        return !ui->swSET->isEnabled() && !ui->tabWidget->isEnabled() && !ui->addREP->isEnabled() &&
               !ui->butClear->isEnabled();
    };
    QVERIFY(locked());
    r.w->resizeSLOT(QSize(1200, 800)); // a re-layout refreshes the table
    r.w->setFind(0);
    QVERIFY(locked());
    QVERIFY(r.w->scanning());
    QCOMPARE(r.w->currentPair(), quint8(1));

    ui->scanAll->setChecked(false);
    QVERIFY(ui->swSET->isEnabled() && ui->tabWidget->isEnabled() && ui->addREP->isEnabled() &&
            ui->butClear->isEnabled());
    QCOMPARE(r.w->currentPair(), quint8(1)); // stopping keeps the pair
}

void TestPairs::timerPace_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("timerAdvances");
    QTest::addColumn<bool>("reflStart");
    QTest::newRow("LFA") << 0 << true << false;
    QTest::newRow("WRx") << 1 << false << false;
    QTest::newRow("NLJD") << 2 << true << false;
    QTest::newRow("REFL") << 3 << false << true;
}

void TestPairs::timerPace()
{
    QFETCH(int, tab);
    QFETCH(bool, timerAdvances);
    QFETCH(bool, reflStart);
    Rig r;
    r.showTab(tab);
    r.ui()->scanAll->setChecked(true);
    Payloads start{pairSelect(1, 2)};
    if (reflStart)
        start << QByteArray("F\x04", 2);
    QCOMPARE(r.log, start);

    r.log.clear();
    r.w->scanAll();
    QCOMPARE(r.log, timerAdvances ? Payloads{pairSelect(1, 3)} : Payloads{});
    r.log.clear();
    r.w->scanAll(true); // the mode reports the pair done
    QCOMPARE(r.log.size(), 1);
    QCOMPARE(r.w->currentPair(), quint8(timerAdvances ? 3 : 2));
    QVERIFY(r.w->scanning());
}

void TestPairs::analyserPairStopsScan()
{
    Rig r;
    r.ui()->scanAll->setChecked(true);
    r.w->scanAll();
    QCOMPARE(r.w->currentPair(), quint8(2));
    r.log.clear();
    r.port->pushPayload(QByteArray("S\x04\x03\x04\x00\x00\x05\x00", 8));
    QCOMPARE(r.w->currentPair(), quint8(14));
    QCOMPARE(r.log, Payloads{pairSelect(3, 4)});
    QVERIFY(!r.w->scanning());
    QVERIFY(!r.ui()->scanAll->isChecked());
    QVERIFY(r.ui()->tabWidget->isEnabled());
    QVERIFY(r.rowSelected(14) && !r.rowSelected(2));
}

void TestPairs::clearAllAsksFirst()
{
    Rig r;
    PairStore& store = r.w->pairStore();
    store[4].dataFlags = DataFlag::lfaValid;
    store[4].dcVoltage = 5.0f;
    store[4].nljd.harm2 = 90;
    store[4].signalCount = 6;
    store[4].refl.trace[100] = 77;
    r.w->setFind(4);
    QCOMPARE(r.ui()->swTAB->item(4, 1)->text(), QString("5.0 v"));

    r.prompts.answers.enqueue(false);
    r.ui()->butClear->click();
    QCOMPARE(r.prompts.count("question"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Attention!"));
    QCOMPARE(r.prompts.asked.last().text, QString("<b>Do you really want to clear ALL data?</b>"));
    QCOMPARE(store[4].dataFlags, DataFlag::lfaValid);
    QCOMPARE(store[4].nljd.harm2, quint8(90));
    QCOMPARE(store[4].refl.trace[100], quint8(77));
    QCOMPARE(r.ui()->swTAB->item(4, 1)->text(), QString("5.0 v"));

    r.prompts.answers.enqueue(true);
    r.ui()->butClear->click();
    QCOMPARE(store[4].dataFlags, quint8(0));
    QCOMPARE(store[4].nljd.harm2, quint8(0));
    QCOMPARE(store[4].signalCount, quint8(0));
    QCOMPARE(store[4].refl.trace[100], quint8(0));
    QVERIFY(r.ui()->swTAB->item(4, 1)->text().isEmpty());
}

void TestPairs::virtualAnalyserFollowsScan()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* port = new VirtualAnalyserPort(analyser);
    ScriptedPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    for (int i = 0; i < 4 && w.linkState() < 2; ++i) {
        w.openSerialPort();
        QTest::qWait(20);
    }
    QCOMPARE(w.linkState(), quint8(2));

    // Wires 1, 2 and 3 only: pairs 1-2, 1-3 and 2-3.
    setSW* sw = w.cableSwitch();
    press(sw, NonTwistedConnector);
    for (int wire = 4; wire <= 8; ++wire)
        press(sw, pinBox(wire));
    press(sw, ShieldLine);
    w.form()->tabWidget->setCurrentIndex(2);
    QTest::qWait(20);

    w.form()->scanAll->setChecked(true);
    // The test takes the steps; the scan timer must not take one while a wait runs.
    holdScanTimer(w);
    QTRY_COMPARE(int(analyser.wireB()), 2);
    w.scanAll();
    QTRY_COMPARE(int(analyser.wireB()), 3);
    QCOMPARE(int(analyser.wireA()), 1);
    w.scanAll();
    QTRY_COMPARE(int(analyser.wireA()), 2);

    // The user switches on the analyser itself: the window follows and the scan ends.
    analyser.reportPair(1, 3);
    QTRY_COMPARE(int(w.currentPair()), 2);
    QVERIFY(!w.scanning());
    QVERIFY(!w.form()->scanAll->isChecked());
}

QTEST_MAIN(TestPairs)
#include "tst_pairs.moc"
