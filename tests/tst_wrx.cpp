// WRx mode: the receiver's rules, traces and signal lists, the RX widget, the commands through the
// main window, and a scan of all pairs on the virtual analyser.
#include "link/dispatchroute.h"
#include "modes/wrx/rx.h"
#include "modes/wrx/signalbook.h"
#include "modes/wrx/wrxlogic.h"
#include "pairs/pairstore.h"
#include "sim/mode_wrx.h"
#include "windowrigs.h"

#include <QComboBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_scale_div.h>

namespace
{
using Entry = QPair<quint16, quint8>;

QByteArray spectrumBlock(quint8 k, quint8 diff, quint8 gain, quint8 level)
{
    QByteArray p(105, char(level));
    p[0] = 'C';
    p[1] = 0;
    p[2] = char(k);
    p[3] = char(diff);
    p[4] = char(gain);
    return p;
}

QByteArray searchBlock(quint8 n, quint8 m, const QList<Entry>& entries)
{
    QByteArray p("C\x01", 2);
    p.append(char(n)).append(char(m));
    for (const Entry& e : entries)
        p.append(char(e.first & 0xFF)).append(char(e.first >> 8)).append(char(e.second));
    return p;
}

QByteArray searchOf(const QList<Entry>& entries)
{
    return searchBlock(quint8(entries.size()), 0, entries);
}

// "S" 5 with the given fields; the rest as the analyser starts.
QByteArray settings(quint16 start, quint16 stop, quint16 marker, quint8 step, bool fix, quint8 range = 0,
                    quint8 gain = 0, bool mains = false)
{
    QByteArray p(26, '\0');
    p[0] = 'S';
    p[1] = 5;
    auto put = [&p](int at, quint16 v) {
        p[at] = char(v & 0xFF);
        p[at + 1] = char(v >> 8);
    };
    put(8, start);
    put(10, stop);
    put(12, marker);
    p[14] = char(step);
    p[16] = char(fix ? 1 : 0);
    p[19] = char(gain);
    p[21] = 3;
    p[23] = char(range);
    p[24] = char(mains ? 1 : 0);
    return p;
}

// An RX on its own pair store, pair 5 selected.
struct RxRig {
    PairStore pairs;
    quint8 pair = 5;
    bool scanning = false;
    QList<bool> answers; // to "search again?"
    RX rx;

    RxRig()
    {
        RX::Owner o;
        o.pairs = [this] { return &pairs; };
        o.currentPair = [this] { return pair; };
        o.scanning = [this] { return scanning; };
        o.askYesNo = [this](const QString&, const QString&) {
            return !answers.isEmpty() && answers.takeFirst();
        };
        rx.setOwner(o);
        rx.resize(1000, 800);
    }
    void search(const QList<Entry>& entries)
    {
        if (!rx.searchButton()->isChecked())
            rx.searchButton()->click();
        rx.findDATA(searchOf(entries));
    }
    QString cellText(int row, int col) const
    {
        const QTableWidgetItem* item = rx.signalTable()->item(row, col);
        return item ? item->text() : QString();
    }
};
} // namespace

class TestWrx : public QObject
{
    Q_OBJECT
private slots:
    void markerSnap_data();
    void markerSnap();
    void markerTextAndReport();
    void stepList_data();
    void stepList();
    void spectrumClickUnderFix();
    void oscClickFixesOnce();
    void levelBarHalf();
    void spectrumBlocks_data();
    void spectrumBlocks();
    void levelFrame();
    void settingsTakenSilently();
    void commands_data();
    void commands();
    void tableShape_data();
    void tableShape();
    void tableOf25Signals();
    void sharedFrequencies();
    void searchInBlocks();
    void headerSortKeepsSelection();
    void emptyCellKeepsSelection();
    void marksCycle();
    void tableTexts();
    void searchAgainQuestion();
    void scanSteps();
    void staleStatusDuringScan_data();
    void staleStatusDuringScan();
    void scanAllPairsOnAnalyser();
};

void TestWrx::markerSnap_data()
{
    QTest::addColumn<double>("request");
    QTest::addColumn<double>("stop");
    QTest::addColumn<double>("step");
    QTest::addColumn<bool>("fix");
    QTest::addColumn<double>("marker");
    QTest::newRow("raised to 0.1, half a step up") << 0.03 << 60.0 << 0.2 << false << 0.2;
    QTest::newRow("clamped to stop") << 75.0 << 60.0 << 0.2 << false << 60.0;
    QTest::newRow("to the step") << 30.27 << 60.0 << 0.2 << false << 30.2;
    QTest::newRow("FIX: to 0.05") << 30.27 << 60.0 << 0.2 << true << 30.25;
    QTest::newRow("FIX keeps 0.1") << 0.03 << 60.0 << 0.6 << true << 0.1;
    QTest::newRow("a snap below 0.1 moves up a step") << 0.1 << 180.0 << 0.6 << false << 0.6;
    QTest::newRow("a snap above stop moves down a step") << 59.9 << 59.9 << 0.2 << false << 59.8;
}

void TestWrx::markerSnap()
{
    QFETCH(double, request);
    QFETCH(double, stop);
    QFETCH(double, step);
    QFETCH(bool, fix);
    QFETCH(double, marker);
    QCOMPARE(Wrx::snapMarker(request, stop, step, fix), marker);
}

void TestWrx::markerTextAndReport()
{
    RxRig r;
    QSignalSpy mark(&r.rx, &RX::changeMark);
    r.rx.moveMARK(QPointF(30.27, 10));
    QCOMPARE(r.rx.markerText(), QStringLiteral("\n 30.200 MHz"));
    QCOMPARE(mark.count(), 1);
    QCOMPARE(mark.at(0).at(0).value<ushort>(), ushort(3020));
    // Back onto the same step: moved less than 0.01 MHz, nothing to report.
    r.rx.moveMARK(QPointF(30.22, 10));
    QCOMPARE(mark.count(), 1);
    r.rx.shiftMARK(1);
    QCOMPARE(mark.count(), 2);
    QCOMPARE(mark.at(1).at(0).value<ushort>(), ushort(3040));
}

void TestWrx::stepList_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("pick");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("sent");
    QTest::addColumn<bool>("leftEnabled");
    QTest::newRow("60 MHz: '-' gives 200 kHz") << 0 << 0 << 1 << -1 << false;
    QTest::newRow("60 MHz: 50 kHz") << 0 << 3 << 3 << 5 << true;
    QTest::newRow("180 MHz: 600 kHz") << 1 << 0 << 0 << 60 << false;
    QTest::newRow("180 MHz: 200 kHz") << 1 << 1 << 1 << -1 << true;
}

void TestWrx::stepList()
{
    QFETCH(int, range);
    QFETCH(int, pick);
    QFETCH(int, index);
    QFETCH(int, sent);
    QFETCH(bool, leftEnabled);
    RxRig r;
    auto* rangeList = r.rx.findChild<QComboBox*>("rangeList");
    auto* list = r.rx.findChild<QComboBox*>("stepList");
    rangeList->setCurrentIndex(range);
    QSignalSpy step(&r.rx, &RX::changeStep);
    list->setCurrentIndex(pick);
    QCOMPARE(list->currentIndex(), index);
    QCOMPARE(list->itemText(0), range ? QStringLiteral("600 kHz") : QStringLiteral("-"));
    QCOMPARE(step.count(), sent < 0 ? 0 : 1);
    if (sent >= 0)
        QCOMPARE(int(step.at(0).at(0).value<uchar>()), sent);
    QCOMPARE(r.rx.findChild<QPushButton*>("stepLeft")->isEnabled(), leftEnabled);
    QCOMPARE(r.rx.step(), Wrx::StepMhz[std::size_t(index)]);
}

void TestWrx::spectrumClickUnderFix()
{
    RxRig r;
    r.rx.rxSET(settings(10, 6000, 3027, 20, true));
    QCOMPARE(r.rx.marker(), 30.25);
    QStringList order;
    connect(&r.rx, &RX::changeSND, this, [&order](ushort v) { order << QString("SND %1").arg(v); });
    connect(&r.rx, &RX::changeFIX, this, [&order](ushort v) { order << QString("FIX %1").arg(v); });
    r.rx.moveMARK(QPointF(12, 10));
    QCOMPARE(order, QStringList({"SND 0", "FIX 0"}));
    QCOMPARE(r.rx.marker(), 30.25);
    QVERIFY(!r.rx.fixFlag());
}

void TestWrx::oscClickFixesOnce()
{
    RxRig r;
    QSignalSpy fix(&r.rx, &RX::changeFIX);
    QSignalSpy snd(&r.rx, &RX::changeSND);
    r.rx.findChild<QComboBox*>("demodList")->setCurrentIndex(1);
    QCOMPARE(snd.count(), 0); // not fixed: the list reports nothing
    r.rx.oscClick(QPointF(1, 1));
    r.rx.oscClick(QPointF(1, 1));
    QCOMPARE(fix.count(), 1);
    QCOMPARE(fix.at(0).at(0).value<ushort>(), ushort(1));
    QCOMPARE(snd.count(), 1);
    QCOMPARE(snd.at(0).at(0).value<ushort>(), ushort(1));
}

void TestWrx::levelBarHalf()
{
    RxRig r;
    r.rx.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r.rx));
    r.rx.levelDATA(QByteArray("C\x03", 2) + QByteArray(192, char(120))); // 30 dB
    QCOMPARE(r.rx.level(), 30.0);
    const QImage img = r.rx.grab().toImage();
    const QRect bar = r.rx.levelBar()->geometry();
    const int usable = bar.height() - 27 - 3; // Search is off
    int lit = 0;
    for (int y = bar.top(); y < bar.bottom(); ++y)
        lit += img.pixelColor(bar.center().x(), y) == QColor(250, 250, 250);
    QCOMPARE(lit, usable / 2);
}

void TestWrx::spectrumBlocks_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("firstBin"); // -1: dropped
    QTest::addColumn<double>("level"); // marker level after the block, 0 = not set
    QTest::newRow("block 0: far from the marker") << spectrumBlock(0, 0, 0, 80) << 1 << 0.0;
    QTest::newRow("block 1 holds 29.9 MHz") << spectrumBlock(1, 0, 0, 80) << 101 << 20.0;
    QTest::newRow("block 2 fills 201..300") << spectrumBlock(2, 0, 0, 80) << 201 << 0.0;
    QTest::newRow("other diff: stale") << spectrumBlock(1, 1, 0, 80) << -1 << 0.0;
    QTest::newRow("other gain: stale") << spectrumBlock(1, 0, 2, 80) << -1 << 0.0;
    QTest::newRow("block 3: dropped") << spectrumBlock(3, 0, 0, 80) << -1 << 0.0;
}

void TestWrx::spectrumBlocks()
{
    QFETCH(QByteArray, block);
    QFETCH(int, firstBin);
    QFETCH(double, level);
    Wrx::Traces t;
    t.clear();
    t.setSweep(0.1, 0.2);
    const auto result = t.takeSpectrum(block, false, 0, 30.0, 0.2);
    QCOMPARE(result == Wrx::Traces::Block::Stale, firstBin < 0);
    for (int i = 0; i < Wrx::Points; ++i) {
        const bool filled = firstBin > 0 && i >= firstBin && i < firstBin + 100;
        QCOMPARE(t.spectrum()[i], filled ? 20.0 : 0.0);
        QCOMPARE(t.peak()[i], filled ? 20.0 : 0.0);
    }
    QCOMPARE(t.level(), level);
    QCOMPARE(t.shownPoints(), firstBin > 0 ? 301 : 257);
}

void TestWrx::levelFrame()
{
    Wrx::Traces t;
    t.clear();
    QByteArray frame = QByteArray("C\x03", 2) + QByteArray(192, char(200));
    t.takeLevelFrame(frame);
    QCOMPARE(t.level(), 50.0);
    QCOMPARE(t.oscY()[191], 50.0);
    // The peak level holds the highest level seen.
    t.takeLevelFrame(QByteArray("C\x03", 2) + QByteArray(192, char(40)));
    QCOMPARE(t.level(), 10.0);
    QCOMPARE(t.peakLevel(), 50.0);
    // Peak hold of the spectrum and the bin 0.15 MHz away that does not set the level.
    // Bins at 29.85 and 30.15 MHz: within a step of 30 MHz, beyond step / 1.95.
    t.setSweep(0.15, 0.3);
    t.takeSpectrum(spectrumBlock(1, 0, 0, 100), false, 0, 30.0, 0.2);
    t.takeSpectrum(spectrumBlock(1, 0, 0, 60), false, 0, 30.0, 0.2);
    QCOMPARE(t.spectrum()[150], 15.0);
    QCOMPARE(t.peak()[150], 25.0);
    QCOMPARE(t.level(), 10.0);
}

void TestWrx::settingsTakenSilently()
{
    RxRig r;
    const QList<QByteArray> names{"changeX",    "changeDiap", "changeSila", "changeKU",  "changeStep",
                                  "changeMark", "changeFIX",  "changeSND",  "changeDiff"};
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const QByteArray& n : names) {
        const int i = r.rx.metaObject()->indexOfSignal(QMetaObject::normalizedSignature(
            n + (n == "changeMark" || n == "changeFIX" || n == "changeSND" || n == "changeDiff"
                     ? "(ushort)"
                     : "(uchar)")));
        QVERIFY2(i >= 0, n);
        spies.push_back(std::make_unique<QSignalSpy>(&r.rx, r.rx.metaObject()->method(i)));
    }
    r.rx.rxSET(settings(10, 18000, 9000, 60, false, 1, 2, true));
    for (std::size_t k = 0; k < spies.size(); ++k)
        QVERIFY2(spies[k]->isEmpty(), names.at(int(k)));
    QwtPlot* plot = qobject_cast<QwtPlot*>(r.rx.spectrumPlot());
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 0.0);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 180.0);
    QCOMPARE(r.rx.stepText(), QStringLiteral("600 kHz"));
    QCOMPARE(r.rx.rangeText(), QStringLiteral("0.1 - 180 MHz"));
    QCOMPARE(r.rx.gainText(), QStringLiteral("x2"));
    QVERIFY(r.rx.mainsFlag());
    QCOMPARE(r.rx.marker(), 90.0);
    QCOMPARE(r.rx.traces().freq()[1], 0.1);
    // A user change afterwards is reported again.
    QSignalSpy gain(&r.rx, &RX::changeKU);
    r.rx.findChild<QPushButton*>("gainRight")->click();
    QCOMPARE(gain.count(), 1);
}

void TestWrx::commands_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("Mains: S 12 range mains") << "mains" << QByteArray("S\x0c\x01\x01", 4);
    QTest::newRow("Diff") << "diff" << QByteArray("S\x03\x01", 3);
    QTest::newRow("gain up") << "gainRight" << QByteArray("S\x01\x01", 3);
    QTest::newRow("step finer") << "stepRight" << QByteArray("S\x10\x14", 3);
    QTest::newRow("marker up a step") << "markerRight" << QByteArray("S\x06\x30\x0c", 4); // 3120 = 31.2 MHz
    QTest::newRow("time base") << "timeLeft" << QByteArray("S\x0f\x02", 3);
    QTest::newRow("search") << "search" << QByteArray("S\x02", 2);
}

void TestWrx::commands()
{
    QFETCH(QString, control);
    QFETCH(QByteArray, sent);
    FakePortWindowRig rig;
    rig.connectAnalyser();
    rig.ui()->tabWidget->setCurrentIndex(Tab::Wrx);
    rig.port->pushPayload(settings(10, 18000, 3060, 60, false, 1));
    rig.log.clear();
    rig.w->rx()->findChild<QPushButton*>(control)->click();
    QVERIFY2(rig.log.contains(sent),
             qPrintable(QString(rig.log.isEmpty() ? QByteArray() : rig.log.last().toHex())));
}

void TestWrx::tableShape_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("groups");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::newRow("1") << 1 << 1 << 2 << 4;
    QTest::newRow("12") << 12 << 1 << 13 << 4;
    QTest::newRow("13") << 13 << 2 << 13 << 9;
    QTest::newRow("25") << 25 << 3 << 13 << 14;
}

void TestWrx::tableShape()
{
    QFETCH(int, n);
    QFETCH(int, groups);
    QFETCH(int, rows);
    QFETCH(int, columns);
    const Wrx::TableShape t = Wrx::tableShape(n, QSize(1000, 540));
    QCOMPARE(t.groups, groups);
    QCOMPARE(t.rows, rows);
    QCOMPARE(t.columns, columns);
    QCOMPARE(t.rowHeight, 40);
    QCOMPARE(t.headerHeight, 42);
    QCOMPARE(t.unit, 5);
}

void TestWrx::tableOf25Signals()
{
    RxRig r;
    QList<Entry> e;
    for (int s = 0; s < 25; ++s)
        e << Entry(quint16(100 + 10 * s), quint8(s));
    r.search(e);
    QTableWidget* t = r.rx.signalTable();
    QCOMPARE(t->rowCount(), 13);
    QCOMPARE(t->columnCount(), 14);
    QCOMPARE(r.cellText(1, 10), QStringLiteral("25"));
    QCOMPARE(r.cellText(1, 11), QStringLiteral("3.400 MHz"));
    QCOMPARE(r.cellText(1, 12), QStringLiteral("24 dB"));
    QCOMPARE(t->item(5, 4)->background().color(), QColor(66, 66, 66));
    QVERIFY(t->item(1, 1)->isSelected()); // the first signal, selected while Search is on
    QCOMPARE(r.rx.marker(), 1.0);
}

void TestWrx::sharedFrequencies()
{
    PairStore pairs;
    QVERIFY(Wrx::takeSearchBlock(pairs, 3, searchOf({{1234, 20}, {500, 10}})));
    QVERIFY(Wrx::takeSearchBlock(pairs, 7, searchOf({{1234, 30}})));
    QCOMPARE(int(pairs[3].occurrence[0]), 2);
    QCOMPARE(int(pairs[7].occurrence[0]), 2);
    QCOMPARE(int(pairs[3].uniqueCount), 1);
    QCOMPARE(int(pairs[7].uniqueCount), 0);
    QVERIFY(Wrx::takeSearchBlock(pairs, 9, searchOf({{1234, 15}})));
    for (int p : {3, 7, 9})
        QCOMPARE(int(pairs[p].occurrence[0]), 3);
    // A pair searched again without the shared carrier leaves the others' counts as they were.
    QVERIFY(Wrx::takeSearchBlock(pairs, 9, searchOf({{777, 15}})));
    QCOMPARE(int(pairs[9].uniqueCount), 1);
    QCOMPARE(int(pairs[3].occurrence[0]), 3);

    // Long lists from a narrow band (repeats within a list, the extreme codes, counts over 255),
    // searched in random order, against a plain count of every signal.
    PairStore many, plain;
    QRandomGenerator rnd(31);
    for (int round = 0; round < 150; ++round) {
        const int p = 1 + rnd.bounded(36);
        const int n = rnd.bounded(256);
        QList<Entry> list;
        for (int s = 0; s < n; ++s) {
            const int c = rnd.bounded(600);
            list << Entry(quint16(c == 0 ? 65535 : c < 300 ? c : 0), 1);
        }
        for (int b = 0; b * 30 < std::max(n, 1); ++b)
            Wrx::takeSearchBlock(many, p, searchBlock(quint8(n), quint8(b), list.mid(30 * b, 30)));
        PairRecord& r = plain[p];
        r.signalCount = quint8(n);
        r.dataFlags |= DataFlag::wrxValid;
        for (int k = 0; k < n; ++k) {
            r.signalFreq[std::size_t(k)] = list[k].first;
            int j = 1;
            for (int o = 1; o <= 36; ++o)
                for (int m = 0; o != p && m < plain[o].signalCount; ++m)
                    j += plain[o].signalFreq[std::size_t(m)] == list[k].first;
            r.occurrence[std::size_t(k)] = quint8(std::min(j, 255));
            for (int o = 1; o <= 36; ++o)
                for (int m = 0; j > 1 && o != p && m < plain[o].signalCount; ++m)
                    if (plain[o].signalFreq[std::size_t(m)] == list[k].first)
                        plain[o].occurrence[std::size_t(m)] = quint8(std::min(j, 255));
        }
        for (int o = 1; o <= 36; ++o) {
            int unique = 0;
            for (int m = 0; m < plain[o].signalCount; ++m) {
                unique += plain[o].occurrence[std::size_t(m)] == 1;
                QCOMPARE(int(many[o].occurrence[std::size_t(m)]), int(plain[o].occurrence[std::size_t(m)]));
            }
            QCOMPARE(int(many[o].uniqueCount), unique);
        }
    }
}

void TestWrx::searchInBlocks()
{
    PairStore pairs;
    QList<Entry> first, second;
    for (int s = 0; s < 30; ++s)
        first << Entry(quint16(1000 + s), 9);
    for (int s = 30; s < 45; ++s)
        second << Entry(quint16(1000 + s), 9);
    QVERIFY(!Wrx::takeSearchBlock(pairs, 2, searchBlock(45, 0, first)));
    QVERIFY(!(pairs[2].dataFlags & DataFlag::wrxValid));
    QVERIFY(Wrx::takeSearchBlock(pairs, 2, searchBlock(45, 1, second)));
    QCOMPARE(int(pairs[2].signalCount), 45);
    QCOMPARE(pairs[2].signalFreq[44], quint16(1044));
    QCOMPARE(int(pairs[2].uniqueCount), 45);
    // No pair selected: nothing is stored.
    QVERIFY(!Wrx::takeSearchBlock(pairs, 0, searchOf({{1, 1}})));
}

void TestWrx::headerSortKeepsSelection()
{
    RxRig r;
    r.search({{300, 5}, {100, 40}, {200, 20}, {400, 30}});
    r.rx.tabClick(2, 1); // the second signal by frequency: 2.000 MHz
    QCOMPARE(r.rx.currentSignal(), 1);
    r.rx.tabClick(0, 2); // "Level"
    QCOMPARE(r.rx.sortMode(), int(Wrx::ByLevel));
    const PairRecord& p = r.pairs[5];
    QCOMPARE(QList<int>({p.signalLevel[0], p.signalLevel[1], p.signalLevel[2], p.signalLevel[3]}),
             QList<int>({40, 30, 20, 5}));
    QCOMPARE(p.signalFreq[std::size_t(r.rx.currentSignal())], quint16(200));
    QVERIFY(r.rx.signalTable()->item(Wrx::signalRow(r.rx.currentSignal()), 2)->isSelected());
    QCOMPARE(r.rx.signalTable()->item(0, 2)->foreground().color(), QColor(140, 210, 255));
    QCOMPARE(r.rx.signalTable()->item(0, 1)->foreground().color(), QColor(Qt::white));
}

void TestWrx::emptyCellKeepsSelection()
{
    RxRig r;
    QList<Entry> e;
    for (int s = 0; s < 14; ++s)
        e << Entry(quint16(100 * (s + 1)), 9);
    r.search(e);
    r.rx.tabClick(2, 5); // signal 13
    QCOMPARE(r.rx.currentSignal(), 13);
    r.rx.tabClick(5, 6); // beyond N
    QCOMPARE(r.rx.currentSignal(), 13);
    QVERIFY(r.rx.signalTable()->item(2, 6)->isSelected());
    r.rx.tabClick(4, 4); // spacer column
    QCOMPARE(r.rx.currentSignal(), 13);
}

void TestWrx::marksCycle()
{
    RxRig r;
    r.search({{1234, 20}, {3000, 10}});
    const QColor colours[] = {QColor(85, 255, 85), QColor(255, 85, 85), QColor(Qt::white)};
    for (const QColor& c : colours) {
        r.rx.tabDblClick(1, 2);
        QCOMPARE(r.rx.signalTable()->item(1, 1)->foreground().color(), c);
    }
    r.rx.tabDblClick(1, 1);
    QCOMPARE(int(r.rx.frequencyMark(1234)), 1);
    // The mark belongs to the frequency: another pair with it shows it too.
    r.pair = 6;
    r.search({{1234, 8}});
    QCOMPARE(r.rx.signalTable()->item(1, 1)->foreground().color(), QColor(85, 255, 85));
    QCOMPARE(int(r.rx.frequencyMark(18100)), 0);
    r.rx.clearSignals();
    QCOMPARE(int(r.rx.frequencyMark(1234)), 0);
}

void TestWrx::tableTexts()
{
    RxRig r;
    QCOMPARE(r.cellText(0, 0), QStringLiteral("Search not performed!"));
    r.search({});
    QCOMPARE(r.cellText(0, 0), QStringLiteral("Nothing found!"));
    QCOMPARE(r.rx.signalTable()->columnCount(), 1);
    // Outside a search results are not taken.
    r.rx.searchButton()->click();
    r.pair = 8;
    r.rx.findDATA(searchOf({{100, 1}}));
    QVERIFY(!(r.pairs[8].dataFlags & DataFlag::wrxValid));
}

void TestWrx::searchAgainQuestion()
{
    RxRig r;
    r.search({{1000, 10}, {2000, 20}});
    r.rx.tabClick(2, 0);
    r.rx.searchButton()->click(); // off
    QSignalSpy find(&r.rx, &RX::changeFind);
    QSignalSpy fix(&r.rx, &RX::changeFIX);
    r.answers = {false};
    r.rx.searchButton()->click();
    QCOMPARE(find.count(), 0);
    QCOMPARE(r.rx.marker(), 20.0);
    QCOMPARE(fix.count(), 1);
    QCOMPARE(fix.at(0).at(0).value<ushort>(), ushort(1));
    r.rx.searchButton()->click();
    r.answers = {true};
    r.rx.searchButton()->click();
    QCOMPARE(find.count(), 1);
    QCOMPARE(r.rx.currentSignal(), 0);
}

void TestWrx::scanSteps()
{
    using S = Wrx::SearchScan;
    S s;
    const QList<QPair<int, S::Action>> steps = {
        {S::NewPair, S::Action::Sweep}, {S::Tabulated, S::Action::None}, {S::Spectrum, S::Action::None},
        {S::Spectrum, S::Action::Find}, {S::Spectrum, S::Action::None},  {S::Tabulated, S::Action::Next},
        {S::NewPair, S::Action::Sweep}, {S::Stopped, S::Action::Restore}};
    for (const auto& st : steps)
        QCOMPARE(s.step(st.first, true, 4), st.second);
    // A spectrum of the pair seen last does not count as the new pair's.
    s.step(S::NewPair, true, 4);
    s.step(S::Spectrum, true, 4);
    s.step(S::Spectrum, true, 4);
    QCOMPARE(s.state(), 3);
    s.step(S::Tabulated, true, 4);
    s.step(S::NewPair, true, 4);
    QCOMPARE(s.step(S::Spectrum, true, 4), S::Action::None);
    QCOMPARE(s.state(), 1);
    QCOMPARE(s.step(S::NewPair, false, 4), S::Action::None);
    QCOMPARE(s.state(), 0);
}

void TestWrx::staleStatusDuringScan_data()
{
    // Pairs reported one after the other once the scan has stepped from 1-2 to 1-3.
    QTest::addColumn<QList<int>>("reported");
    QTest::addColumn<bool>("scanning");
    QTest::addColumn<int>("pair"); // selected afterwards
    QTest::newRow("the pair left: not switched yet") << QList<int>{1} << true << 2;
    QTest::newRow("the new pair, then the left one") << QList<int>{2, 1} << false << 1;
    QTest::newRow("another pair") << QList<int>{7} << false << 7;
}

void TestWrx::staleStatusDuringScan()
{
    QFETCH(QList<int>, reported);
    QFETCH(bool, scanning);
    QFETCH(int, pair);
    FakePortWindowRig r;
    r.connectAnalyser();
    r.ui()->tabWidget->setCurrentIndex(Tab::Wrx);
    r.w->swClick(1, 1);
    r.ui()->scanAll->setChecked(true);
    holdScanTimer(*r.w);
    r.w->scanAll(true);
    QCOMPARE(r.w->currentPair(), quint8(2));
    for (int p : reported) {
        QByteArray status = settings(10, 6000, 3000, 20, false);
        status[2] = char(pairWires(p).a);
        status[3] = char(pairWires(p).b);
        r.port->pushPayload(status);
    }
    QCOMPARE(r.w->scanning(), scanning);
    QCOMPARE(r.w->currentPair(), quint8(pair));
}

void TestWrx::scanAllPairsOnAnalyser()
{
    AnalyserWindowRig rig;
    rig.w->resize(1280, 800);
    rig.connectNow();
    rig.ui()->tabWidget->setCurrentIndex(Tab::Wrx);
    rig.settle();
    QVERIFY(rig.ui()->scanAll->isEnabled());
    rig.ui()->scanAll->setChecked(true);
    QVERIFY(rig.w->scanning());
    for (int i = 0; i < 400 && rig.w->scanning(); ++i) {
        rig.analyser.tick();
        rig.settle();
    }
    QVERIFY(!rig.w->scanning());
    QVERIFY(rig.ui()->tabWidget->isEnabled());
    int shared = 0;
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& r = rig.w->pairStore()[p];
        QVERIFY2(r.dataFlags & DataFlag::wrxValid, qPrintable(QString::number(p)));
        const PairWires wires = pairWires(p);
        auto* mode = static_cast<WrxMode*>(rig.analyser.modeHandler(VirtualAnalyser::ModeWrx));
        QCOMPARE(int(r.signalCount), mode->foundOn(rig.analyser.cable(), wires.a, wires.b).size());
        QCOMPARE(rig.ui()->swTAB->item(p, 1)->text(), QString::number(r.signalCount));
        QCOMPARE(rig.ui()->swTAB->item(p, 2)->text(), QString::number(r.uniqueCount));
        shared += r.uniqueCount < r.signalCount;
    }
    QVERIFY(shared >= 2);
}

QTEST_MAIN(TestWrx)
#include "tst_wrx.moc"
