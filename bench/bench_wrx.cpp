// WRx at the link's full rate: 921600 baud carries about 92000 bytes a second, so about 830 spectrum
// blocks (105 bytes framed) or 460 level frames (194 bytes framed) a second. Every message goes through
// MainWindow::readData (framed, on a scripted port) with the WRx tab shown, a pair selected and the link
// up, on an offscreen window. Goal: the GUI thread below 25% of one core, every block handled.
//   SpectrumBlocks, LevelFrames: as fast as the window takes them, the cost per message scaled to the
//     link rate; what is drawn once per display interval is then shared by more messages than at the
//     real rate, so these understate the drawing.
//   SpectrumFullRate, LevelFullRate: paced by the wall clock to the link rate for RunSeconds, the GUI
//     thread's CPU time as a share of one core (core_pct); checks that the last message reached the
//     traces and that nothing was left unread.
// Signal bookkeeping: 36 pairs of 255 signals counted, sorted and tabulated. Goal: below 20 ms.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "bench/benchrig.h"
#include "bench/qtbenchmain.h"
#include "modes/wrx/rx.h"
#include "modes/wrx/signalbook.h"
#include "pairs/pairstore.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace
{
constexpr double RunSeconds = 3.0;

QList<QByteArray> framedSpectrumBlocks()
{
    QList<QByteArray> frames;
    for (int sweep = 0; sweep < 8; ++sweep)
        for (int k = 0; k < 3; ++k) {
            QByteArray p(105, '\0');
            p[0] = 'C';
            p[2] = char(k);
            for (int j = 0; j < 100; ++j)
                p[5 + j] = char(30 + (j * 7 + sweep * 13) % 20 + (j == 40 ? 120 : 0));
            frames << Frame::encode(p);
        }
    return frames;
}

QList<QByteArray> framedLevelFrames()
{
    QList<QByteArray> frames;
    for (int k = 0; k < 16; ++k) {
        QByteArray p(194, '\0');
        p[0] = 'C';
        p[1] = 3;
        for (int i = 0; i < 192; ++i)
            p[2 + i] = char(100 + std::lround(30 * std::sin(i * 0.26 + k)));
        frames << Frame::encode(p);
    }
    return frames;
}

struct Rig : BenchRig {
    Rig() : BenchRig(1) {}
};

// chunk 0: every message is painted before the next arrives (worst case); otherwise the bytes arrive
// in chunks of that many, as the USB bridge hands them over (16 ms at the link rate is about 1500).
void run(benchmark::State& state, const QList<QByteArray>& frames, int chunk, bool spectrum)
{
    Rig rig;
    int k = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray& f = frames.at(k++ % frames.size());
        bytes += f.size();
        rig.port->push(f);
        if (chunk == 0 || bytes % chunk < f.size())
            QCoreApplication::processEvents();
    }
    const double perSecond = LinkBytesPerSecond * state.iterations() / double(bytes);
    state.SetItemsProcessed(state.iterations());
    state.counters["msgs_per_s_at_link_rate"] = perSecond;
    // CPU seconds per message times the messages of one second, in percent of one core.
    state.counters["core_pct_at_link_rate"] =
        benchmark::Counter(double(state.iterations()) / (perSecond * 100),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Every block was taken: the peak hold holds the strong bin of the last sweep.
    const Wrx::Traces& t = rig.w->rx()->traces();
    if (state.iterations() >= frames.size() && (spectrum ? t.peak()[241] < 30 : t.level() == 0))
        state.SkipWithError("messages were not taken");
}
} // namespace

static void BM_SpectrumBlocks(benchmark::State& state)
{
    run(state, framedSpectrumBlocks(), int(state.range(0)), true);
}
BENCHMARK(BM_SpectrumBlocks)->Arg(0)->Arg(1500)->MinTime(2.0);

static void BM_LevelFrames(benchmark::State& state)
{
    run(state, framedLevelFrames(), int(state.range(0)), false);
}
BENCHMARK(BM_LevelFrames)->Arg(0)->Arg(1500)->MinTime(2.0);

namespace
{
// Block k of sweep n; the bins of every sweep differ, so the traces tell which block came last.
QByteArray spectrumBlock(int n, int k)
{
    QByteArray p(105, '\0');
    p[0] = 'C';
    p[2] = char(k);
    for (int j = 0; j < 100; ++j)
        p[5 + j] = char(40 + (j * 7 + n * 13) % 150);
    return p;
}

QByteArray levelFrame(int n)
{
    QByteArray p(194, '\0');
    p[0] = 'C';
    p[1] = 3;
    for (int i = 0; i < 192; ++i)
        p[2 + i] = char(100 + std::lround(30 * std::sin(i * 0.26 + n * 0.1)));
    return p;
}

// Empty when the traces hold the last message sent.
QString lastMessageMissing(const Wrx::Traces& t, const QByteArray& last, bool spectrum)
{
    if (spectrum) {
        const int first = 100 * last.at(2) + 1;
        for (int j = 0; j < 100; ++j)
            if (t.spectrum()[first + j] != quint8(last.at(5 + j)) * 0.25)
                return "spectrum";
    } else {
        for (int i = 0; i < 192; ++i)
            if (t.oscY()[i] != quint8(last.at(2 + i)) * 0.25)
                return "oscilloscope";
    }
    return {};
}

void runFullRate(benchmark::State& state, bool spectrum)
{
    Rig rig;
    int n = 0;
    QByteArray last;
    PacedStream stream(*rig.port, [&](PacedStream& s) {
        last = spectrum ? spectrumBlock(n / 3, n % 3) : levelFrame(n);
        ++n;
        s.push(last);
    });
    double pct = 0;
    for (auto _ : state) {
        stream.start();
        pct = measuredCorePercent(RunSeconds);
        stream.pump.stop();
    }
    settle(50);
    if (!rig.port->atEnd())
        state.SkipWithError("messages left unread");
    else if (const QString missing = lastMessageMissing(rig.w->rx()->traces(), last, spectrum); !missing.isEmpty())
        state.SkipWithError(qPrintable("last message not in the " + missing));
    state.counters["core_pct"] = pct;
    state.counters["msgs_per_s"] = n / RunSeconds;
}
} // namespace

static void BM_SpectrumFullRate(benchmark::State& state)
{
    runFullRate(state, true);
}
BENCHMARK(BM_SpectrumFullRate)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

static void BM_LevelFullRate(benchmark::State& state)
{
    runFullRate(state, false);
}
BENCHMARK(BM_LevelFullRate)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

// 36 pairs x 255 signals, half of them shared: results taken, counted, sorted three ways and tabulated.
static void BM_SignalBookkeeping(benchmark::State& state)
{
    Rig rig;
    PairStore& pairs = rig.w->pairStore();
    QList<QByteArray> blocks[37];
    for (int p = 1; p <= 36; ++p)
        for (int m = 0; m * 30 < 255; ++m) {
            QByteArray b("C\x01", 2);
            b.append(char(255)).append(char(m));
            for (int s = 30 * m; s < 255 && s < 30 * (m + 1); ++s) {
                const int code = s % 2 ? 100 + s * 7 : 2000 + p * 300 + s;
                b.append(char(code & 0xFF)).append(char(code >> 8)).append(char((s * 37 + p) % 60));
            }
            blocks[p] << b;
        }
    for (auto _ : state) {
        for (int p = 1; p <= 36; ++p)
            for (const QByteArray& b : blocks[p])
                Wrx::takeSearchBlock(pairs, p, b);
        for (int mode : {Wrx::ByLevel, Wrx::ByOccurrence, Wrx::ByFrequency})
            Wrx::sortSignals(pairs, 0, mode, 1, 0);
        rig.w->rx()->FindTab();
    }
}
BENCHMARK(BM_SignalBookkeeping)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
