// REFL mode: "T" messages, indicator states, the plot's axis, the .refl file byte for byte, the
// comparison's tolerances and verdicts, and the window on the virtual analyser.
#include "modes/nljd/nld.h"
#include "modes/refl/reflcompare.h"
#include "modes/refl/reflfactor.h"
#include "modes/refl/reflfile.h"
#include "modes/refl/reflindicators.h"
#include "modes/refl/reflmessage.h"
#include "modes/refl/reflmodestate.h"
#include "modes/refl/reflplotdata.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "sim/mode_refl.h"
#include "windowrigs.h"

#include <QBuffer>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <qwt_plot_curve.h>
#include <sys/resource.h>

using Bytes = QByteArray;

namespace
{
// A "T" message as the frame receiver delivers it, with its trailing zero.
Bytes tMsg(quint8 kind, quint8 n, quint8 a, quint8 b, const Bytes& tail = {})
{
    return Bytes("T", 1) + char(kind) + char(n) + char(a) + char(b) + tail + '\0';
}

Bytes entry(quint16 tenths, quint8 level)
{
    return Bytes() + char(tenths & 0xFF) + char(tenths >> 8) + char(level);
}

Bytes listMsg(quint8 a, quint8 b, const QList<QPair<quint16, quint8>>& defects)
{
    Bytes tail;
    for (const auto& d : defects)
        tail += entry(d.first, d.second);
    return tMsg(1, quint8(defects.size()), a, b, tail);
}

Bytes hex(const char* text)
{
    return Bytes::fromHex(text);
}

PairRecord recordOf(int pair)
{
    PairRecord r;
    const PairWires w = pairWires(pair);
    r.wireA = w.a;
    r.wireB = w.b;
    return r;
}

void setDefects(ReflPairData& d, const QList<QPair<quint16, quint16>>& list)
{
    d.status = quint8(list.size());
    for (int k = 0; k < list.size(); ++k) {
        d.defectDistance[k] = list[k].first;
        d.defectLevel[k] = list[k].second;
    }
}

std::array<quint16, ReflDefects> tenths(const QList<int>& values)
{
    std::array<quint16, ReflDefects> a{};
    for (int k = 0; k < values.size(); ++k)
        a[k] = quint16(values[k]);
    return a;
}

ReflMode* reflSim(VirtualAnalyser& analyser)
{
    return static_cast<ReflMode*>(analyser.modeHandler(VirtualAnalyser::ModeRefl));
}

// The window on the virtual analyser, connected, REFL tab shown, measurements at a fast pace.
struct Rig : AnalyserWindowRig {
    Rig() : AnalyserWindowRig([](VirtualAnalyser& a) { reflSim(a)->setStepInterval(1); })
    {
        connectNow();
        ui()->tabWidget->setCurrentIndex(3);
        settle();
        port->clearSent();
    }
    ReflMode* sim() { return reflSim(analyser); }
    void select(int pair)
    {
        w->swClick(pair, 1);
        settle();
    }
    QString cell(QTableWidget* t, int row, int col) const { return t->item(row, col)->text(); }
    QColor colour(QTableWidget* t, int row, int col) const { return t->item(row, col)->foreground().color(); }
    NLD* indicator(int pair) const { return qobject_cast<NLD*>(ui()->swTAB->cellWidget(pair, 3)); }
    // Curve 1 is the green one (Set 1 or current data), curve 2 the red one (Set 2 or file).
    double curveY(int curve, int sample) const
    {
        for (QwtPlotItem* item : ui()->refGRAF->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            auto* c = static_cast<QwtPlotCurve*>(item);
            if (c->pen().color() == QColor(curve == 1 ? Qt::green : Qt::red))
                return c->sample(sample).y();
        }
        return qQNaN();
    }
    // What the analyser reports with its status: the factor as whole and hundredths.
    void reportFactor(qint8 whole, qint8 hundredths)
    {
        Bytes s(10, '\0');
        s[0] = 'S';
        s[1] = 7;
        const PairWires wires = pairWires(w->currentPair());
        s[2] = char(wires.a);
        s[3] = char(wires.b);
        s[8] = char(whole);
        s[9] = char(hundredths);
        w->actionUSB(s + '\0');
    }
    QString writeFile(const QString& path, const Bytes& bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return QString();
        return path;
    }
    void load(const QString& path)
    {
        prompts.fileNames.enqueue(path);
        ui()->refLoad->click();
    }
};

const QColor Red(255, 85, 85);
const QColor White(0xFFFFFF);

// The cable's pairs that the reflectometer can measure and that have faults.
QList<int> measurableFaultPairs(const CableModel& cable)
{
    QList<int> out;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        const LineVoltage v = cable.voltageOf(w.a, w.b);
        if (!cable.faultsOf(w.a, w.b).isEmpty() && v.dc == 0 && v.ac == 0 && cable.noiseOf(w.a, w.b) == 0)
            out << p;
    }
    return out;
}
} // namespace

class TestRefl : public QObject
{
    Q_OBJECT
private slots:
    // "T" messages and the status factor
    void takesMessages_data();
    void takesMessages();
    void defectEntries();
    void moreThanTenDefectsStayInTheStore();
    void chunksFillTheirQuarterOnly();
    void statusFactor_data();
    void statusFactor();

    // indicators and the plot
    void indicatorStates();
    void axis_data();
    void axis();
    void blanksTheProbePulse();

    // the .refl file
    void fileBytesExact();
    void fileReadsBack();
    void statusOnlyRecordKeepsEarlierTrace();
    void manyDefectsKeepTheFileAligned();
    void truncatedFileReadsZeros();
    void garbageIsRefusedOrReadSafely();

    // comparison
    void toleranceAndWindow();
    void listComparison_data();
    void listComparison();
    void traceThreshold_data();
    void traceThreshold();
    void verdictRows_data();
    void verdictRows();

    // the window
    void factorField_data();
    void factorField();
    void fileFactorMustMatch();
    void saveGoesThroughSaveFile();
    void comparisonColoursDifferences();
    void comparisonOfMissingData();
    void setsFollowTheActiveSet();
    void typedFactorSurvivesRepeatedStatus();
    void scanStepsOnResultsNotOnChunks();
    void pairChangeMidMeasurementUnlocks();
    void measurementLostOnTheLinkIsGivenUp_data();
    void measurementLostOnTheLinkIsGivenUp();
    void deselectingComparesEveryPair();
    void lostLinkEndsMeasurementAndScan();
    void measuredPairShowsSimulatedDefects();
    void unchangedCableMeasuresTheSame();
    void scanMeasuresEveryEnabledPair();

    // the virtual analyser alone
    void simulatorRefusesUnusableFactors_data();
    void simulatorRefusesUnusableFactors();
    void simulatorDefectsLieOnThePlot();
};

// --- "T" messages ---

void TestRefl::takesMessages_data()
{
    QTest::addColumn<Bytes>("msg");
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("valid");

    const int Before = 7; // the pair's status before the message
    using E = Refl::TEffect;
    QTest::newRow("measuring") << tMsg(0, 0, 1, 3) << int(E::Measuring) << Before << false;
    QTest::newRow("two defects") << listMsg(1, 3, {{120, 30}, {305, 31}}) << int(E::Result) << 2 << true;
    QTest::newRow("no defects") << tMsg(1, 0, 1, 3) << int(E::Result) << 252 << true;
    QTest::newRow("over 3 V") << tMsg(3, 0, 1, 3) << int(E::Result) << 254 << true;
    QTest::newRow("noise") << tMsg(4, 0, 1, 3) << int(E::Result) << 253 << true;
    QTest::newRow("chunk") << tMsg(6, 1, 1, 3, Bytes(128, 'x')) << int(E::Chunk) << Before << true;
    QTest::newRow("unknown kind") << tMsg(5, 2, 1, 3) << int(E::Other) << Before << true;
    QTest::newRow("another pair") << tMsg(1, 0, 1, 4) << int(E::Ignored) << Before << false;
    QTest::newRow("wires swapped") << tMsg(4, 0, 3, 1) << int(E::Ignored) << Before << false;
}

void TestRefl::takesMessages()
{
    QFETCH(Bytes, msg);
    QFETCH(int, effect);
    QFETCH(int, status);
    QFETCH(bool, valid);
    PairRecord r = recordOf(2); // wires 1, 3
    r.refl.status = 7;
    QCOMPARE(int(Refl::takeMessage(msg, r)), effect);
    QCOMPARE(int(r.refl.status), status);
    QCOMPARE(bool(r.dataFlags & DataFlag::reflValid), valid);
}

void TestRefl::defectEntries()
{
    PairRecord r = recordOf(36); // wire 8 against the shield
    // The second entry is cut short by the end of the message: its level reads 0.
    Bytes msg = listMsg(8, 9, {{0x1234, 40}, {0x0102, 20}});
    msg.chop(2);
    QCOMPARE(Refl::takeMessage(msg, r), Refl::TEffect::Result);
    QCOMPARE(int(r.refl.status), 2);
    QCOMPARE(int(r.refl.defectDistance[0]), 0x1234);
    QCOMPARE(int(r.refl.defectLevel[0]), 40);
    QCOMPARE(int(r.refl.defectDistance[1]), 0x0102);
    QCOMPARE(int(r.refl.defectLevel[1]), 0);
}

void TestRefl::moreThanTenDefectsStayInTheStore()
{
    PairRecord r = recordOf(1);
    r.refl.trace.fill(0x5A);
    QList<QPair<quint16, quint8>> twelve;
    for (int k = 0; k < 12; ++k)
        twelve << qMakePair(quint16(100 + k), quint8(k + 1));
    QCOMPARE(Refl::takeMessage(listMsg(1, 2, twelve), r), Refl::TEffect::Result);
    QCOMPARE(int(r.refl.status), 10);
    for (int k = 0; k < 10; ++k) {
        QCOMPARE(int(r.refl.defectDistance[k]), 100 + k);
        QCOMPARE(int(r.refl.defectLevel[k]), k + 1);
    }
    for (quint8 v : r.refl.trace)
        QCOMPARE(int(v), 0x5A);
}

void TestRefl::chunksFillTheirQuarterOnly()
{
    // In the store, so that writing past a record's trace would land in the next record.
    PairStore store;
    PairRecord& r = store[1];
    const PairRecord next = store[2];
    Bytes samples;
    for (int i = 0; i < 128; ++i)
        samples += char(i + 1);
    QCOMPARE(Refl::takeMessage(tMsg(6, 2, 1, 2, samples), r), Refl::TEffect::Chunk);
    for (int j = 0; j < ReflSamples; ++j)
        QCOMPARE(int(r.refl.trace[j]), j >= 256 && j < 384 ? j - 255 : 0);

    const auto before = r.refl.trace;
    QCOMPARE(Refl::takeMessage(tMsg(6, 4, 1, 2, Bytes(128, '\x77')), r), Refl::TEffect::Ignored);
    QCOMPARE(Refl::takeMessage(tMsg(6, 255, 1, 2, Bytes(128, '\x77')), r), Refl::TEffect::Ignored);
    QVERIFY(r.refl.trace == before);
    // A stray chunk alone does not mark a pair as measured.
    PairRecord& fresh = store[3];
    QCOMPARE(Refl::takeMessage(tMsg(6, 4, fresh.wireA, fresh.wireB, Bytes(128, '\x77')), fresh),
             Refl::TEffect::Ignored);
    QCOMPARE(fresh.dataFlags & DataFlag::reflValid, 0);
    QCOMPARE(int(r.refl.status), 0);
    QCOMPARE(store[2].wireA, next.wireA);
    QCOMPARE(store[2].wireB, next.wireB);
    QCOMPARE(store[2].dataFlags, next.dataFlags);
    QCOMPARE(store[2].dcVoltage, next.dcVoltage);
    QVERIFY(store[2].signalFreq == next.signalFreq);
}

void TestRefl::statusFactor_data()
{
    QTest::addColumn<Bytes>("tail"); // bytes 8 and on
    QTest::addColumn<bool>("taken");
    QTest::addColumn<float>("factor");

    QTest::newRow("1.52") << hex("0134") << true << 1.52f;
    QTest::newRow("9.99") << hex("0963") << true << 9.99f;
    QTest::newRow("0.20") << hex("0014") << true << 0.2f;
    QTest::newRow("0.19") << hex("0013") << false << 0.0f;
    QTest::newRow("10.00") << hex("0a00") << false << 0.0f;
    QTest::newRow("negative") << hex("fe00") << false << 0.0f;
    QTest::newRow("byte 8 only") << hex("02") << true << 2.0f;
    QTest::newRow("no factor") << Bytes() << false << 0.0f;
}

void TestRefl::statusFactor()
{
    QFETCH(Bytes, tail);
    QFETCH(bool, taken);
    QFETCH(float, factor);
    const Bytes status = Bytes("S\x07\x00\x00\x00\x00\x05\x00", 8) + tail;
    float got = -1;
    QCOMPARE(Refl::statusFactor(status, &got), taken);
    if (taken)
        QCOMPARE(got, factor);
    else
        QCOMPARE(got, -1.0f);
}

// --- Indicators and plot ---

void TestRefl::indicatorStates()
{
    PairStore store;
    auto measured = [&](int pair, const QList<QPair<quint16, quint16>>& defects) {
        store[pair].dataFlags |= DataFlag::reflValid;
        setDefects(store[pair].refl, defects);
    };
    measured(1, {{50, 10}, {123, 40}, {300, 40}}); // the first of two equal levels
    measured(2, {{77, 20}});
    measured(3, {});
    store[3].refl.status = Refl::Noise;
    measured(4, {{88, 0}});
    store[5].refl.status = 3; // stale, without reflValid
    store[5].refl.defectLevel[0] = 200;

    const auto s = Refl::indicatorStates(store);
    QCOMPARE(int(s[1].state), 210);
    QCOMPARE(s[1].distance, 12.3f);
    QCOMPARE(int(s[2].state), 105);
    QCOMPARE(s[2].distance, 7.7f);
    QCOMPARE(int(s[3].state), 253);
    QCOMPARE(s[3].distance, 0.0f);
    QCOMPARE(int(s[4].state), 0);
    QCOMPARE(int(s[5].state), 0);
    QCOMPARE(int(s[6].state), 0);
}

void TestRefl::axis_data()
{
    QTest::addColumn<float>("factor");
    QTest::addColumn<double>("range");
    QTest::addColumn<double>("end");

    QTest::newRow("1.5") << 1.5f << 241.0 << 120.0;
    QTest::newRow("2.0") << 2.0f << 180.75 << 180.75;
    QTest::newRow("just under 240") << 1.507f << 241.0 / 1.507f * 1.5 << 241.0 / 1.507f * 1.5;
}

void TestRefl::axis()
{
    QFETCH(float, factor);
    QFETCH(double, range);
    QFETCH(double, end);
    const Refl::Axis a = Refl::axisFor(factor);
    QCOMPARE(a.range, range);
    QCOMPARE(a.end, end);
    QCOMPARE(a.step, 20.0);
}

void TestRefl::blanksTheProbePulse()
{
    Refl::Trace t1, t2;
    t1.fill(40);
    t2.fill(30);
    Refl::Samples x, y1, y2;
    // 241 m over 512 samples: sample 4 lies at 2.35 m, sample 5 at 2.82 m.
    Refl::fillCurves(241.0, &t1, &t2, x, y1, y2);
    QCOMPARE(x[511], 241.0);
    QVERIFY(x[4] < 2.5 && x[5] >= 2.5);
    for (int j = 0; j <= 4; ++j) {
        QCOMPARE(y1[j], 0.0);
        QCOMPARE(y2[j], 0.0);
    }
    QCOMPARE(y1[5], 40.0);
    QCOMPARE(y2[5], 30.0);

    Refl::fillCurves(241.0, nullptr, &t2, x, y1, y2);
    QCOMPARE(y1[0], 0.0);
    QCOMPARE(y1[5], -10.0);
    QCOMPARE(y2[511], 30.0);
}

// --- The .refl file ---

namespace
{
// Pair 1 excluded, pair 2 "no defects", pair 3 one defect with its trace, the rest without data.
PairStore knownStore()
{
    PairStore s;
    s[1].excluded = 1;
    s[1].refl.status = 3;
    s[2].dataFlags = DataFlag::reflValid;
    s[2].refl.status = Refl::NoDefects;
    s[2].refl.trace.fill(9);
    s[3].dataFlags = DataFlag::reflValid;
    setDefects(s[3].refl, {{0x0123, 0x002D}});
    for (int j = 0; j < ReflSamples; ++j)
        s[3].refl.trace[j] = quint8(j);
    s[4].refl.status = 5; // stale: written, but read back as no data
    return s;
}

Bytes knownFile()
{
    Bytes b = hex("0c000000"
                  "380034003700520045004600" // "847REF"
                  "0000c03f"                 // 1.5
                  "fb03"                     // pair 1: excluded, status 3
                  "01fc"                     // pair 2: no defects, no trace
                  "0101"
                  "2301"
                  "2d00"); // pair 3: one defect
    for (int j = 0; j < ReflSamples; ++j)
        b += char(j);
    b += hex("0005"); // pair 4
    for (int p = 5; p <= PairCount; ++p)
        b += hex("0000");
    b += hex("04000000"
             "6f006b00"); // "ok"
    return b;
}
} // namespace

void TestRefl::fileBytesExact()
{
    QCOMPARE(Refl::encodeFile(1.5f, knownStore(), "ok").toHex(), knownFile().toHex());
}

void TestRefl::fileReadsBack()
{
    QBuffer in;
    in.setData(knownFile());
    in.open(QIODevice::ReadOnly);
    Refl::ReflFileData d;
    QString comment;
    QCOMPARE(Refl::readFile(in, 1.5f, d, &comment), Refl::LoadResult::Loaded);
    QCOMPARE(comment, QString("ok"));
    QCOMPARE(d.fileFactor, 1.5f);
    QCOMPARE(int(d.fileStatus[1]), 251);
    QCOMPARE(int(d.fileStatus[2]), 252);
    QCOMPARE(int(d.fileStatus[3]), 1);
    QCOMPARE(int(d.fileDefectDistance[3][0]), 0x0123);
    QCOMPARE(int(d.fileDefectLevel[3][0]), 0x2D);
    for (int j = 0; j < ReflSamples; ++j)
        QCOMPARE(int(d.fileTrace[3][j]), j & 0xFF);
    for (int p = 4; p <= PairCount; ++p)
        QCOMPARE(int(d.fileStatus[p]), 250);
}

void TestRefl::statusOnlyRecordKeepsEarlierTrace()
{
    PairStore first = knownStore();
    setDefects(first[2].refl, {{10, 10}});
    QBuffer a, b;
    a.setData(Refl::encodeFile(1.5f, first, ""));
    b.setData(knownFile());
    a.open(QIODevice::ReadOnly);
    b.open(QIODevice::ReadOnly);
    Refl::ReflFileData d;
    QCOMPARE(Refl::readFile(a, 1.5f, d, nullptr), Refl::LoadResult::Loaded);
    QCOMPARE(Refl::readFile(b, 1.5f, d, nullptr), Refl::LoadResult::Loaded);
    QCOMPARE(int(d.fileStatus[2]), 252);
    QCOMPARE(int(d.fileTrace[2][100]), 9);
}

void TestRefl::manyDefectsKeepTheFileAligned()
{
    Bytes b = hex("0c000000380034003700520045004600"
                  "0000c03f"
                  "010c");
    for (int k = 0; k < 12; ++k)
        b += char(k + 1) + Bytes(1, '\0') + char(k + 20) + Bytes(1, '\0');
    b += Bytes(ReflSamples, '\x11');
    b += hex("01fd"); // pair 2: noise, right behind
    for (int p = 3; p <= PairCount; ++p)
        b += hex("0000");
    b += hex("02000000"
             "7a00");
    QBuffer in;
    in.setData(b);
    in.open(QIODevice::ReadOnly);
    Refl::ReflFileData d;
    QString comment;
    QCOMPARE(Refl::readFile(in, 1.5f, d, &comment), Refl::LoadResult::Loaded);
    QCOMPARE(int(d.fileStatus[1]), 10);
    QCOMPARE(int(d.fileDefectDistance[1][9]), 10);
    QCOMPARE(int(d.fileDefectLevel[1][9]), 29);
    QCOMPARE(int(d.fileTrace[1][0]), 0x11);
    QCOMPARE(int(d.fileTrace[1][511]), 0x11);
    QCOMPARE(int(d.fileStatus[2]), 253);
    QCOMPARE(comment, QString("z"));
}

void TestRefl::truncatedFileReadsZeros()
{
    const Bytes whole = knownFile();
    const int traceStart = 16 + 4 + 2 + 2 + 2 + 4;
    QBuffer in;
    in.setData(whole.left(traceStart + 100));
    in.open(QIODevice::ReadOnly);
    Refl::ReflFileData d;
    d.fileTrace[3].fill(0xEE);
    QString comment = "stale";
    QCOMPARE(Refl::readFile(in, 1.5f, d, &comment), Refl::LoadResult::Loaded);
    QCOMPARE(int(d.fileStatus[3]), 1);
    QCOMPARE(int(d.fileTrace[3][99]), 99);
    QCOMPARE(int(d.fileTrace[3][100]), 0);
    QCOMPARE(int(d.fileTrace[3][511]), 0);
    QCOMPARE(int(d.fileStatus[36]), 250);
    QCOMPARE(comment, QString());

    // Every cut reads without harm; cut inside the magic it is not a REFL file.
    for (int cut = 0; cut < whole.size(); cut += 7) {
        QBuffer part;
        part.setData(whole.left(cut));
        part.open(QIODevice::ReadOnly);
        Refl::ReflFileData e;
        const Refl::LoadResult r = Refl::readFile(part, 1.5f, e, nullptr);
        QCOMPARE(r == Refl::LoadResult::NotReflFile, cut < 16);
    }
}

void TestRefl::garbageIsRefusedOrReadSafely()
{
    const Bytes huge = hex("fefffffe"); // a string length far past the end
    const Bytes cases[] = {
        huge,
        hex("0d000000380034003700520045004600"), // odd length
        hex("0c000000380034003700520045004600") + hex("0000c03f") + Bytes(300, '\x01') + huge,
        hex("0c000000380034003700520045004600") + hex("0000c07f"), // factor is not a number
    };
    Refl::ReflFileData d;
    const auto before = d.fileStatus;
    for (int i = 0; i < 2; ++i) {
        QBuffer in;
        in.setData(cases[i]);
        in.open(QIODevice::ReadOnly);
        QCOMPARE(Refl::readFile(in, 1.5f, d, nullptr), Refl::LoadResult::NotReflFile);
    }
    QVERIFY(d.fileStatus == before);

    QBuffer ones;
    ones.setData(cases[2]);
    ones.open(QIODevice::ReadOnly);
    QString comment = "x";
    QCOMPARE(Refl::readFile(ones, 1.5f, d, &comment), Refl::LoadResult::Loaded);
    QCOMPARE(comment, QString());

    QBuffer nan;
    nan.setData(cases[3]);
    nan.open(QIODevice::ReadOnly);
    QCOMPARE(Refl::readFile(nan, 1.5f, d, nullptr), Refl::LoadResult::FactorMismatch);
}

// --- Comparison ---

void TestRefl::toleranceAndWindow()
{
    QCOMPARE(Refl::distanceTolerance(1.5f), 10);
    QCOMPARE(Refl::traceWindow(1.5f), 254);
    QCOMPARE(Refl::distanceTolerance(3.0f), 5);
    QCOMPARE(Refl::traceWindow(3.0f), 509);
    // A slow cable: the 120 m need more samples than there are; the mean still divides by the window.
    QCOMPARE(Refl::traceWindow(4.0f), 679);
    std::array<quint8, ReflSamples> a{}, b{};
    a.fill(1);
    QCOMPARE(Refl::meanTraceDifference(a, b, 679), 512.0 / 679);
}

void TestRefl::listComparison_data()
{
    QTest::addColumn<QList<int>>("curDist");
    QTest::addColumn<QList<int>>("curLevel");
    QTest::addColumn<QList<int>>("fileDist");
    QTest::addColumn<QList<int>>("fileLevel");
    QTest::addColumn<bool>("differ");
    QTest::addColumn<QList<int>>("marks"); // distance, level of current 0, 1, then file 0, 1

    QTest::newRow("within a metre") << QList<int>{120, 305} << QList<int>{30, 30} << QList<int>{128, 304}
                                    << QList<int>{30, 30} << false << QList<int>{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("14.0 against 12.8") << QList<int>{140, 305} << QList<int>{30, 30} << QList<int>{128, 304}
                                       << QList<int>{30, 30} << true << QList<int>{2, 1, 1, 1, 2, 1, 1, 1};
    QTest::newRow("15 dB apart") << QList<int>{120, 305} << QList<int>{30, 45} << QList<int>{128, 304}
                                 << QList<int>{30, 30} << false << QList<int>{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("16 dB apart") << QList<int>{120, 305} << QList<int>{30, 14} << QList<int>{128, 304}
                                 << QList<int>{30, 30} << true << QList<int>{1, 1, 1, 2, 1, 1, 1, 2};
    QTest::newRow("file has none") << QList<int>{120} << QList<int>{30} << QList<int>{} << QList<int>{}
                                   << true << QList<int>{2, 1, 0, 0, 2, 1, 2, 1};
    // Both current defects find the first file defect; the second file defect stays unmatched.
    QTest::newRow("one file defect twice")
        << QList<int>{120, 125} << QList<int>{30, 30} << QList<int>{122, 300} << QList<int>{30, 30} << false
        << QList<int>{1, 1, 1, 1, 1, 1, 2, 1};
}

void TestRefl::listComparison()
{
    QFETCH(QList<int>, curDist);
    QFETCH(QList<int>, curLevel);
    QFETCH(QList<int>, fileDist);
    QFETCH(QList<int>, fileLevel);
    QFETCH(bool, differ);
    QFETCH(QList<int>, marks);
    Refl::DefectMarks m;
    QCOMPARE(Refl::listsDiffer(curDist.size(), tenths(curDist), tenths(curLevel), fileDist.size(),
                               tenths(fileDist), tenths(fileLevel), Refl::distanceTolerance(1.5f), m),
             differ);
    const QList<int> got{m.currentDistance[0], m.currentLevel[0], m.currentDistance[1], m.currentLevel[1],
                         m.fileDistance[0],    m.fileLevel[0],    m.fileDistance[1],    m.fileLevel[1]};
    QCOMPARE(got, marks);
}

void TestRefl::traceThreshold_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("file");
    QTest::addColumn<bool>("differ");

    QTest::newRow("0.031") << 125 << 133 << true;  // 8 / 258
    QTest::newRow("0.027") << 125 << 132 << false; // 7 / 257
    QTest::newRow("equal") << 125 << 125 << false;
}

void TestRefl::traceThreshold()
{
    QFETCH(int, current);
    QFETCH(int, file);
    QFETCH(bool, differ);
    const int n = Refl::traceWindow(1.5f);
    std::array<quint8, ReflSamples> a{}, b{};
    for (int j = 0; j < n; ++j) {
        a[j] = quint8(current);
        b[j] = quint8(file);
    }
    // Beyond the window the graphs may differ as they like.
    for (int j = n; j < ReflSamples; ++j)
        b[j] = 255;
    QCOMPARE(Refl::meanTraceDifference(a, b, n) > Refl::TraceDifference, differ);

    // The same through the whole comparison of a pair with equal lists.
    PairRecord r = recordOf(1);
    r.dataFlags = DataFlag::reflValid;
    setDefects(r.refl, {{100, 20}});
    r.refl.trace = a;
    const auto dist = tenths({100}), level = tenths({20});
    Refl::DefectMarks m;
    const Refl::StatusDecision d = Refl::comparePair(r, {1, dist, level, b}, 1.5f, m);
    QCOMPARE(int(d.verdict), differ ? 16 : 0);
}

void TestRefl::verdictRows_data()
{
    QTest::addColumn<bool>("hasCurrent");
    QTest::addColumn<int>("fs");
    QTest::addColumn<int>("cs");
    QTest::addColumn<int>("currentAt"); // distance of the one current defect, for lists
    QTest::addColumn<int>("traceDelta");
    QTest::addColumn<int>("verdict"); // -1 = not compared

    const int NC = -1;
    QTest::newRow("1 excluded in file") << true << 251 << 1 << 100 << 0 << NC;
    QTest::newRow("2 no data anywhere") << false << 250 << 1 << 100 << 0 << NC;
    QTest::newRow("3 no current data") << false << 1 << 1 << 100 << 0 << 2;
    QTest::newRow("3 no current, file noise") << false << 253 << 1 << 100 << 0 << 2;
    QTest::newRow("4 no file data") << true << 250 << 252 << 100 << 0 << 1;
    QTest::newRow("5 no defects both") << true << 252 << 252 << 100 << 0 << NC;
    QTest::newRow("6 file none, current list") << true << 252 << 1 << 100 << 0 << 9;
    QTest::newRow("7 file none, current noise") << true << 252 << 253 << 100 << 0 << 10;
    QTest::newRow("8 file none, current >3v") << true << 252 << 254 << 100 << 0 << 11;
    QTest::newRow("9 file noise, current list") << true << 253 << 1 << 100 << 0 << 3;
    QTest::newRow("10 file noise, current >3v") << true << 253 << 254 << 100 << 0 << 7;
    QTest::newRow("11 file noise, current none") << true << 253 << 252 << 100 << 0 << 12;
    QTest::newRow("12 file >3v, current list") << true << 254 << 1 << 100 << 0 << 4;
    QTest::newRow("13 file >3v, current noise") << true << 254 << 253 << 100 << 0 << 8;
    QTest::newRow("14 file >3v, current none") << true << 254 << 252 << 100 << 0 << 13;
    QTest::newRow("15 noise both") << true << 253 << 253 << 100 << 0 << NC;
    QTest::newRow("15 file 255") << true << 255 << 1 << 100 << 0 << NC;
    QTest::newRow("16 current noise") << true << 1 << 253 << 100 << 0 << 5;
    QTest::newRow("17 current >3v") << true << 1 << 254 << 100 << 0 << 6;
    QTest::newRow("18 current none") << true << 1 << 252 << 100 << 0 << 14;
    QTest::newRow("19 current 250") << true << 1 << 250 << 100 << 0 << NC;
    QTest::newRow("20 lists differ") << true << 1 << 1 << 200 << 0 << 15;
    QTest::newRow("21 graphs differ") << true << 1 << 1 << 100 << 10 << 16;
    QTest::newRow("22 agreement") << true << 1 << 1 << 105 << 0 << 0;
}

void TestRefl::verdictRows()
{
    QFETCH(bool, hasCurrent);
    QFETCH(int, fs);
    QFETCH(int, cs);
    QFETCH(int, currentAt);
    QFETCH(int, traceDelta);
    QFETCH(int, verdict);
    PairRecord r = recordOf(5);
    r.dataFlags = hasCurrent ? DataFlag::reflValid : 0;
    r.refl.trace.fill(100);
    setDefects(r.refl, {{quint16(currentAt), 20}});
    r.refl.status = quint8(cs);
    std::array<quint8, ReflSamples> fileTrace;
    fileTrace.fill(quint8(100 + traceDelta));
    const auto dist = tenths({100}), level = tenths({20});
    Refl::DefectMarks m;
    const Refl::StatusDecision d = Refl::comparePair(r, {quint8(fs), dist, level, fileTrace}, 1.5f, m);
    QCOMPARE(d.kind == Refl::StatusDecision::Decided ? int(d.verdict) : -1, verdict);
}

// --- The window ---

void TestRefl::factorField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<Bytes>("command");
    QTest::addColumn<QString>("shown");

    QTest::newRow("-3") << "-3" << true << true << Bytes("F\x01\x03\x00", 4) << "3.00";
    QTest::newRow("20") << "20" << true << true << Bytes("F\x01\x09\x63", 4) << "9.99";
    QTest::newRow("0.1") << "0.1" << true << true << Bytes("F\x01\x00\x14", 4) << "0.20";
    QTest::newRow("1.504") << "1.504" << true << false << Bytes() << "1.504";
    QTest::newRow("no restores") << "2.5" << false << true << Bytes() << "1.50";
}

void TestRefl::factorField()
{
    QFETCH(QString, typed);
    QFETCH(bool, yes);
    QFETCH(bool, asked);
    QFETCH(Bytes, command);
    QFETCH(QString, shown);
    Rig r;
    r.select(1);
    r.w->actionUSB(listMsg(1, 2, {{50, 20}}));
    QVERIFY(r.w->pairStore()[1].dataFlags & DataFlag::reflValid);
    r.port->clearSent();

    r.prompts.answers.enqueue(yes);
    r.ui()->refFAC->setText(typed);
    r.ui()->refRIGHT->click();
    r.settle();
    QCOMPARE(r.prompts.count("question"), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(r.prompts.asked.value(0).title, QString("Attention!"));
        QCOMPARE(r.prompts.asked.value(0).text, QString("<b>Do you really want to change Factor?<br>All "
                                                        "reflectometer measurements will be reset!</b>"));
    }
    QList<Bytes> factorCommands;
    for (const Bytes& p : r.port->sentPayloads())
        if (p.startsWith(Bytes("F\x01", 2)))
            factorCommands << p;
    QCOMPARE(factorCommands, command.isEmpty() ? QList<Bytes>() : QList<Bytes>{command});
    QCOMPARE(r.ui()->refFAC->text(), shown);
    // A confirmed change forgets every measurement and starts on the new scale.
    QCOMPARE(bool(r.w->pairStore()[1].dataFlags & DataFlag::reflValid), command.isEmpty());
    if (!command.isEmpty()) {
        QCOMPARE(r.sim()->factor(), shown.toDouble());
        QCOMPARE(r.ui()->refINFO->toPlainText(), QString("Current file:"));
        QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString("No data"));
    }
}

void TestRefl::fileFactorMustMatch()
{
    QTemporaryDir dir;
    Rig r;
    const QString path = r.writeFile(dir.filePath("f150.refl"), knownFile());
    QVERIFY(!path.isEmpty());

    r.reportFactor(1, 60);
    QCOMPARE(r.ui()->refFAC->text(), QString("1.60"));
    r.load(path);
    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Error"));
    QCOMPARE(r.prompts.asked.last().text,
             QString("The current factor (1.60) does not match the factor from the file (1.50)!"));
    QVERIFY(!r.w->reflState().fileLoaded);
    QCOMPARE(int(r.w->reflState().file.fileStatus[1]), 250);

    r.reportFactor(1, 52);
    r.load(path);
    QCOMPARE(r.prompts.count("critical"), 1);
    QVERIFY(r.w->reflState().fileLoaded);
    QCOMPARE(int(r.w->reflState().file.fileStatus[1]), 251);
    QCOMPARE(r.ui()->refINFO->toPlainText(), QString("Current file: f150.refl\nok"));

    // Not a REFL file at all.
    const QString other = r.writeFile(dir.filePath("x.refl"), hex("0c000000380034003700") + Bytes(20, 'q'));
    r.load(other);
    QCOMPARE(r.prompts.asked.last().text, QString("This is not a REFL data file for KV847!"));
    QCOMPARE(int(r.w->reflState().file.fileStatus[1]), 251);
}

void TestRefl::saveGoesThroughSaveFile()
{
    QTemporaryDir dir;
    Rig r;
    r.select(3); // wires 1, 4
    r.w->actionUSB(tMsg(6, 0, 1, 4, Bytes(128, '\x21')));
    r.w->actionUSB(listMsg(1, 4, {{291, 33}}));
    r.ui()->refSave->click();
    QVERIFY(!r.ui()->refFILE->isHidden());
    r.ui()->refTXT->setText("site A");

    const QString path = dir.filePath("good.refl");
    r.prompts.fileNames.enqueue(path);
    r.ui()->refSave2->click();
    QFile good(path);
    QVERIFY(good.open(QIODevice::ReadOnly));
    QCOMPARE(good.readAll(), Refl::encodeFile(1.5f, r.w->pairStore(), "site A"));
    QVERIFY(r.ui()->refFILE->isHidden());
    QVERIFY(!r.ui()->refSave->isChecked());
    QVERIFY(r.ui()->refTXT->text().isEmpty());
    QCOMPARE(r.prompts.count("save"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Save File"));
    QCOMPARE(r.prompts.asked.last().text, QString("KV847 REFL data (*.refl)"));

    // A file that cannot grow past 300 bytes: the save fails, the old file stays as it was.
    const QString old = r.writeFile(dir.filePath("old.refl"), "old contents");
    QVERIFY(!old.isEmpty());
    r.ui()->refSave->click();
    r.ui()->refTXT->setText("second");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 300;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    r.prompts.fileNames.enqueue(old);
    r.ui()->refSave2->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    QCOMPARE(r.prompts.count("critical"), 1);
    QCOMPARE(r.prompts.asked.last().title, QString("Error"));
    QFile kept(old);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), Bytes("old contents"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    // The panel stays open with its comment.
    QVERIFY(!r.ui()->refFILE->isHidden());
    QCOMPARE(r.ui()->refTXT->text(), QString("second"));
}

void TestRefl::comparisonColoursDifferences()
{
    QTemporaryDir dir;
    Rig r;
    r.select(2); // wires 1, 3
    r.w->actionUSB(listMsg(1, 3, {{128, 30}, {304, 30}}));
    const QString path = dir.filePath("ref.refl");
    r.prompts.fileNames.enqueue(path);
    r.ui()->refSave->click();
    r.ui()->refSave2->click();

    r.w->actionUSB(listMsg(1, 3, {{140, 30}, {305, 30}}));
    r.prompts.fileNames.enqueue(path);
    r.ui()->refComp->click(); // no file yet: the switch loads one first
    QCOMPARE(r.prompts.count("open"), 1);
    QVERIFY(r.ui()->refComp->isChecked());
    QVERIFY(!r.ui()->refFAC->isEnabled());
    QCOMPARE(r.ui()->label_25->text(), QString("Current"));
    QCOMPARE(r.ui()->label_24->text(), QString("File"));
    QCOMPARE(r.ui()->refSET1->title(), QString(" Current data (1-3) "));
    QCOMPARE(r.ui()->refSET2->title(), QString(" From file (1-3) "));
    QCOMPARE(r.ui()->refERR->toPlainText(), QString("Different tables of defects!"));
    QCOMPARE(r.colour(r.ui()->swTAB, 2, 0), Red);
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 1), QString("14.0 m"));
    QCOMPARE(r.colour(r.ui()->refTAB1, 1, 1), Red);
    QCOMPARE(r.colour(r.ui()->refTAB2, 1, 1), Red);
    QCOMPARE(r.colour(r.ui()->refTAB1, 2, 1), White);
    QCOMPARE(r.colour(r.ui()->refTAB2, 2, 1), White);
    QCOMPARE(r.colour(r.ui()->refTAB1, 1, 2), White);
    QCOMPARE(int(r.w->reflState().compareResult[2]), 15);

    // A new measurement that matches the file turns the pair white and clears the verdict.
    r.w->actionUSB(listMsg(1, 3, {{120, 30}, {305, 30}}));
    QCOMPARE(r.ui()->refERR->toPlainText(), QString());
    QCOMPARE(r.colour(r.ui()->swTAB, 2, 0), White);
    QCOMPARE(r.colour(r.ui()->refTAB1, 1, 1), White);

    r.ui()->refComp->click();
    QVERIFY(!r.ui()->refComp->isChecked());
    QVERIFY(r.ui()->refFAC->isEnabled());
    QCOMPARE(r.ui()->label_25->text(), QString("Set 1"));
    QCOMPARE(r.ui()->label_24->text(), QString("Set 2"));
    QCOMPARE(r.ui()->refSET1->title(), QString(" Set 1 (1-3) "));
}

void TestRefl::comparisonOfMissingData()
{
    QTemporaryDir dir;
    Rig r;
    PairStore store;
    store[7].dataFlags = DataFlag::reflValid; // wires 1, 8
    setDefects(store[7].refl, {{100, 20}});
    store[1].dataFlags = DataFlag::reflValid; // wires 1, 2, twisted together
    store[1].refl.status = Refl::NoDefects;
    const QString path = r.writeFile(dir.filePath("m.refl"), Refl::encodeFile(1.5f, store, ""));
    r.select(1);
    r.w->actionUSB(tMsg(1, 0, 1, 2));
    r.select(9); // no data on either side
    r.ui()->refERR->setPlainText("earlier");
    r.load(path);
    r.ui()->refComp->click();
    QVERIFY(r.ui()->refComp->isChecked());

    QCOMPARE(r.colour(r.ui()->swTAB, 7, 0), Red);
    QCOMPARE(int(r.w->reflState().compareResult[7]), 2);
    // "No defects" on both sides, and nothing on either side, are left alone: the twisted pair keeps
    // the colour the table gave it.
    QCOMPARE(r.colour(r.ui()->swTAB, 1, 0), QColor(160, 220, 255));
    QCOMPARE(r.ui()->refERR->toPlainText(), QString("earlier"));
    QCOMPARE(r.curveY(2, 100), -10.0); // no trace in the file for a pair without data

    // The file's "no defects" record has no trace to draw.
    r.select(1);
    QCOMPARE(r.curveY(2, 100), -10.0);
    QCOMPARE(r.curveY(2, 0), 0.0);

    r.select(7);
    QCOMPARE(r.curveY(2, 100), 0.0);
    QCOMPARE(r.ui()->refERR->toPlainText(), QString("No new measurements for this pair!"));
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString("No data"));
    QCOMPARE(r.cell(r.ui()->refTAB2, 1, 1), QString("10.0 m"));
}

void TestRefl::setsFollowTheActiveSet()
{
    Rig r;
    QCOMPARE(r.ui()->refSET1->title(), QString(" Set 1 "));
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString("No pair selected!"));
    r.select(29); // wire 1 against the shield
    r.w->actionUSB(tMsg(0, 0, 1, 9));
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString("Measuring..."));
    QVERIFY(r.w->measuring());
    QCOMPARE(int(r.indicator(29)->state()), 255);
    // No switching sets while measuring.
    emit r.ui()->refTAB2->cellPressed(3, 1);
    QCOMPARE(r.w->reflState().activeSet, 0);

    r.w->actionUSB(tMsg(6, 0, 1, 9, Bytes(128, '\x2a')));
    r.w->actionUSB(listMsg(1, 9, {{55, 40}}));
    QVERIFY(!r.w->measuring());
    QCOMPARE(r.curveY(1, 4), 0.0); // under 2.5 m
    QCOMPARE(r.curveY(1, 5), 42.0);
    QCOMPARE(r.curveY(2, 5), -10.0); // Set 2 not shown yet
    QCOMPARE(r.ui()->refSET1->title(), QString(" Set 1 (1-9) "));
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 0), QString("1"));
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 1), QString("5.5 m"));
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 2), QString("40 dB"));
    QCOMPARE(r.cell(r.ui()->refTAB1, 2, 0), QString());
    QCOMPARE(int(r.indicator(29)->state()), 210);
    QCOMPARE(r.indicator(29)->distance(), 5.5f);

    emit r.ui()->refTAB2->cellPressed(3, 1);
    QCOMPARE(r.w->reflState().activeSet, 1);
    QCOMPARE(r.ui()->refSET2->styleSheet(), QString("font: bold; color: white;"));
    QCOMPARE(r.ui()->refSET1->styleSheet(), QString("color:gray;"));
    r.select(30); // wire 2 against the shield
    r.w->actionUSB(tMsg(4, 0, 2, 9));
    QCOMPARE(r.ui()->refSET2->title(), QString(" Set 2 (2-9) "));
    QCOMPARE(r.cell(r.ui()->refTAB2, 11, 0), QString("Noise!"));
    QCOMPARE(r.colour(r.ui()->refTAB2, 11, 0), Red);
    // Set 1 keeps its snapshot of the pair measured before.
    QCOMPARE(r.ui()->refSET1->title(), QString(" Set 1 (1-9) "));
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 1), QString("5.5 m"));
    QCOMPARE(int(r.indicator(30)->state()), 253);
    QCOMPARE(int(r.indicator(29)->state()), 210);

    // "Clear all" empties the inactive set and takes the active one anew.
    r.prompts.answers.enqueue(true);
    r.ui()->butClear->click();
    QCOMPARE(r.ui()->refSET1->title(), QString(" Set 1 "));
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString("No pair selected!"));
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 1), QString());
    QCOMPARE(r.ui()->refSET2->title(), QString(" Set 2 (2-9) "));
    QCOMPARE(r.cell(r.ui()->refTAB2, 11, 0), QString("No data"));
    QCOMPARE(int(r.indicator(29)->state()), 0);
    QCOMPARE(int(r.indicator(30)->state()), 0);
}

void TestRefl::typedFactorSurvivesRepeatedStatus()
{
    Rig r;
    r.reportFactor(1, 50);
    QCOMPARE(r.ui()->refFAC->text(), QString("1.50"));
    r.ui()->refFAC->clear();
    QTest::keyClicks(r.ui()->refFAC, "2.2");
    r.reportFactor(1, 50);
    QCOMPARE(r.ui()->refFAC->text(), QString("2.2"));
    // A factor the analyser changed is shown at once.
    r.reportFactor(1, 70);
    QCOMPARE(r.ui()->refFAC->text(), QString("1.70"));
    QCOMPARE(r.w->reflState().reflFactor, 1.7f);
    QCOMPARE(r.w->reflState().appliedFactor, 1.5f);
    // Outside 0.2 .. 9.99 the report is ignored.
    r.reportFactor(12, 0);
    QCOMPARE(r.w->reflState().reflFactor, 1.7f);
}

void TestRefl::scanStepsOnResultsNotOnChunks()
{
    Rig r;
    r.sim()->setStepInterval(3600 * 1000); // the analyser never gets past its notice
    r.ui()->scanAll->click();
    QCOMPARE(int(r.w->currentPair()), 1);
    QCOMPARE(r.sentCount(Bytes("F\x04", 2)), 1);
    r.w->actionUSB(tMsg(5, 0, 1, 2)); // a kind the program does not know moves on
    QCOMPARE(int(r.w->currentPair()), 2);
    QCOMPARE(r.sentCount(Bytes("F\x04", 2)), 2);
    r.w->actionUSB(tMsg(6, 0, 1, 3, Bytes(128, '\x10')));
    QCOMPARE(int(r.w->currentPair()), 2);
    r.w->actionUSB(tMsg(1, 0, 1, 4)); // for another pair
    QCOMPARE(int(r.w->currentPair()), 2);
    r.w->actionUSB(tMsg(1, 0, 1, 3));
    QCOMPARE(int(r.w->currentPair()), 3);
    QCOMPARE(r.sentCount(Bytes("F\x04", 2)), 3);
    QVERIFY(r.w->scanning());
    // The chunk's samples show with the next redraw.
    QCOMPARE(int(r.w->pairStore()[2].refl.trace[127]), 0x10);
    QCOMPARE(int(r.w->pairStore()[2].refl.status), 252);
}

void TestRefl::pairChangeMidMeasurementUnlocks()
{
    Rig r;
    r.sim()->setStepInterval(3600 * 1000);
    r.select(1);
    r.ui()->refTEST->click();
    QTRY_VERIFY(!r.ui()->centralWidget->isEnabled());
    QVERIFY(r.w->measuring());
    // The analyser reports that it went to another pair: its measurement is over.
    r.analyser.reportPair(1, 3);
    QTRY_COMPARE(int(r.w->currentPair()), 2);
    QTRY_VERIFY(r.ui()->centralWidget->isEnabled());
    QVERIFY(!r.sim()->isMeasuring());
}

void TestRefl::measurementLostOnTheLinkIsGivenUp_data()
{
    // What spoils the measurement once "P" 0 has locked the window (or, for "link down", the press).
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("givenUp");
    QTest::newRow("bad sums") << "badsum" << true;
    QTest::newRow("hung analyser") << "silent" << true;
    QTest::newRow("pressed while the link is down") << "down" << true;
    QTest::newRow("slow but alive") << "slow" << false;
}

void TestRefl::measurementLostOnTheLinkIsGivenUp()
{
    QFETCH(QString, fault);
    QFETCH(bool, givenUp);
    Rig r;
    r.select(1);
    r.sim()->setStepInterval(fault == "slow" ? MainWindow::MeasurementLostMs / 2 : 400);
    QElapsedTimer clock;
    if (fault == "down") {
        r.w->closeSerialPort();
        r.ui()->refTEST->click();
        clock.start();
        QVERIFY(r.ui()->refTEST->isChecked());
    } else {
        r.ui()->refTEST->click();
        QTRY_VERIFY(!r.ui()->centralWidget->isEnabled());
        clock.start();
        if (fault == "badsum")
            r.analyser.setBadChecksum(true);
        else if (fault == "silent")
            r.analyser.setSilent(true);
    }
    // The link itself stays up (the watchdog is not run here): only the measurement is lost.
    QTest::qWait(MainWindow::MeasurementLostMs + 600);
    QCOMPARE(r.ui()->centralWidget->isEnabled(), givenUp);
    QCOMPARE(r.ui()->refTEST->isChecked(), !givenUp);
    QCOMPARE(r.w->measuring(), !givenUp);
    QCOMPARE(r.ui()->progrFDR->isHidden(), givenUp);
    if (!givenUp)
        return;
    QVERIFY(clock.elapsed() >= MainWindow::MeasurementLostMs);
    // Once the link carries again, the next press measures.
    r.analyser.setBadChecksum(false);
    r.analyser.setSilent(false);
    r.sim()->setStepInterval(50);
    if (fault == "down")
        r.connectNow();
    QTRY_VERIFY(!r.sim()->isMeasuring());
    r.ui()->refTEST->click();
    QTRY_VERIFY(!r.ui()->centralWidget->isEnabled());
    QTRY_VERIFY(r.ui()->centralWidget->isEnabled() && !r.ui()->refTEST->isChecked());
}

void TestRefl::deselectingComparesEveryPair()
{
    QTemporaryDir dir;
    Rig r;
    r.select(2); // wires 1, 3
    r.w->actionUSB(listMsg(1, 3, {{128, 30}}));
    const QString path = r.writeFile(dir.filePath("d.refl"), Refl::encodeFile(1.5f, r.w->pairStore(), ""));
    r.w->actionUSB(listMsg(1, 3, {{300, 30}}));
    r.load(path);
    r.ui()->refComp->click();
    QCOMPARE(int(r.w->reflState().compareResult[2]), 15);

    r.w->pairStore()[2].refl.defectDistance[0] = 128;
    r.select(2); // deselects: no current pair, so every pair is compared
    QCOMPARE(int(r.w->currentPair()), 0);
    QCOMPARE(int(r.w->reflState().compareResult[2]), 0);
    QCOMPARE(r.colour(r.ui()->swTAB, 2, 0), White);
}

void TestRefl::lostLinkEndsMeasurementAndScan()
{
    Rig r;
    r.sim()->setStepInterval(3600 * 1000); // the analyser never gets past its notice
    r.select(1);
    r.w->actionUSB(listMsg(1, 2, {{50, 20}}));
    const quint8 before = r.indicator(1)->state();
    r.ui()->scanAll->click();
    QTRY_VERIFY(r.w->measuring());
    QCOMPARE(int(r.indicator(1)->state()), 255);
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString("Measuring..."));

    r.port->unplug();
    QCOMPARE(r.w->linkState(), quint8(0));
    QVERIFY(!r.w->measuring());
    QVERIFY(!r.w->scanning());
    QVERIFY(!r.ui()->scanAll->isChecked());
    QVERIFY(r.ui()->tabWidget->isEnabled() && r.ui()->centralWidget->isEnabled());
    QCOMPARE(r.indicator(1)->state(), before);
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString());
}

void TestRefl::measuredPairShowsSimulatedDefects()
{
    Rig r;
    const QList<int> pairs = measurableFaultPairs(r.analyser.cable());
    QVERIFY(!pairs.isEmpty());
    const int pair = pairs.first();
    const PairWires w = pairWires(pair);
    const QList<LineFault> faults = r.analyser.cable().faultsOf(w.a, w.b);
    // The analyser reports whole tenths (cable factor 1.5 over the factor set); the table shows tenths / 10.
    const auto shown = [](double metres, double factor) {
        return QString::asprintf("%.1f m", std::lround(metres * 1.5 / factor * 10) / 10.0);
    };

    r.select(pair);
    r.ui()->refTEST->click();
    QCOMPARE(r.sentCount(Bytes("F\x04", 2)), 1);
    QTRY_VERIFY(r.w->pairStore()[pair].dataFlags & DataFlag::reflValid);
    QTRY_VERIFY(r.ui()->centralWidget->isEnabled());
    QVERIFY(!r.ui()->refTEST->isChecked());
    QVERIFY(!r.w->measuring());
    QCOMPARE(int(r.w->pairStore()[pair].refl.status), faults.size());
    for (int k = 0; k < faults.size(); ++k)
        QCOMPARE(r.cell(r.ui()->refTAB1, k + 1, 1), shown(faults[k].distanceM, 1.5));
    QCOMPARE(r.cell(r.ui()->refTAB1, 11, 0), QString());
    QCOMPARE(int(r.indicator(pair)->state()), 210);

    // The factor scales what the analyser reports: 1.5 / 2.0 of the true distance.
    r.prompts.answers.enqueue(true);
    r.ui()->refFAC->setText("2");
    r.ui()->refRIGHT->click();
    r.ui()->refTEST->click();
    QTRY_VERIFY(r.w->pairStore()[pair].dataFlags & DataFlag::reflValid);
    QCOMPARE(r.cell(r.ui()->refTAB1, 1, 1), shown(faults[0].distanceM, 2.0));
}

void TestRefl::unchangedCableMeasuresTheSame()
{
    Rig r;
    const int pair = measurableFaultPairs(r.analyser.cable()).value(0);
    QVERIFY(pair != 0);
    PairRecord& rec = r.w->pairStore()[pair];
    r.select(pair);
    r.ui()->refTEST->click();
    QTRY_VERIFY(rec.dataFlags & DataFlag::reflValid);
    const ReflPairData first = rec.refl;
    rec.dataFlags &= quint8(~DataFlag::reflValid);
    r.ui()->refTEST->click();
    QTRY_VERIFY(rec.dataFlags & DataFlag::reflValid);
    QTRY_VERIFY(r.ui()->centralWidget->isEnabled());

    Refl::DefectMarks marks;
    const Refl::StatusDecision d = Refl::comparePair(
        rec, {first.status, first.defectDistance, first.defectLevel, first.trace}, 1.5f, marks);
    QCOMPARE(int(d.kind), int(Refl::StatusDecision::Decided));
    QCOMPARE(int(d.verdict), int(Refl::Agree));
}

void TestRefl::scanMeasuresEveryEnabledPair()
{
    Rig r;
    r.ui()->scanAll->click();
    QVERIFY(r.w->scanning());
    QTRY_VERIFY_WITH_TIMEOUT(!r.w->scanning(), 30000);
    QCOMPARE(r.sentCount(Bytes("F\x04", 2)), PairCount);
    QCOMPARE(int(r.w->currentPair()), 0);
    const CableModel& cable = r.analyser.cable();
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& rec = r.w->pairStore()[p];
        QVERIFY2(rec.dataFlags & DataFlag::reflValid, qPrintable(QString("pair %1").arg(p)));
        const LineVoltage v = cable.voltageOf(rec.wireA, rec.wireB);
        int expected = cable.faultsOf(rec.wireA, rec.wireB).isEmpty()
                           ? 252
                           : cable.faultsOf(rec.wireA, rec.wireB).size();
        if (cable.noiseOf(rec.wireA, rec.wireB) > ReflMode::NoiseLimitMv)
            expected = 253;
        if (std::abs(v.dc) + v.ac * std::sqrt(2.0) > ReflMode::VoltageLimitV)
            expected = 254;
        QCOMPARE(int(rec.refl.status), expected);
    }
}

// --- The virtual analyser alone ---

void TestRefl::simulatorRefusesUnusableFactors_data()
{
    QTest::addColumn<Bytes>("command");
    QTest::addColumn<double>("factor");
    QTest::newRow("0.00") << Bytes("F\x01\x00\x00", 4) << 1.5;
    QTest::newRow("0.19") << Bytes("F\x01\x00\x13", 4) << 1.5;
    QTest::newRow("10.00") << Bytes("F\x01\x0a\x00", 4) << 1.5;
    QTest::newRow("0.20") << Bytes("F\x01\x00\x14", 4) << 0.2;
    QTest::newRow("9.99") << Bytes("F\x01\x09\x63", 4) << 9.99;
}

void TestRefl::simulatorRefusesUnusableFactors()
{
    QFETCH(Bytes, command);
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    ReflMode* sim = reflSim(analyser);
    QVERIFY(sim->command(analyser, command));
    QTEST(sim->factor(), "factor");
    QVERIFY(sim->reportedDistance(100) > 0);
}

void TestRefl::simulatorDefectsLieOnThePlot()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    ReflMode* sim = reflSim(analyser);
    int reported = 0;
    for (const Bytes& factor : {Bytes("\x01\x32", 2), Bytes("\x01\x00", 2), Bytes("\x02\x00", 2),
                                Bytes("\x00\x32", 2), Bytes("\x04\x00", 2)}) {
        QVERIFY(sim->command(analyser, Bytes("F\x01", 2) + factor));
        const double end = Refl::axisFor(float(sim->factor())).end;
        for (int p = 1; p <= PairCount; ++p) {
            const PairWires w = pairWires(p);
            PairRecord rec = recordOf(p);
            for (const Bytes& m : sim->resultMessages(analyser.cable(), w.a, w.b))
                Refl::takeMessage(m + '\0', rec);
            const int defects = rec.refl.status <= ReflDefects ? rec.refl.status : 0;
            for (int k = 0; k < defects; ++k) {
                QVERIFY2(rec.refl.defectDistance[k] / 10.0 <= end,
                         qPrintable(QString("pair %1 at factor %2").arg(p).arg(sim->factor())));
                ++reported;
            }
        }
    }
    QVERIFY(reported > 0);
}

QTEST_MAIN(TestRefl)
#include "tst_refl.moc"
