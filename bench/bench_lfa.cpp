// Oscilloscope frames at the link's full rate: about 460 frames of 197 bytes a second. Every frame goes
// through MainWindow::readData (framed, on a scripted port) with the LFA tab shown, a pair selected and
// the link up, on an offscreen window. Goal: the GUI thread below 50% of one core at that rate.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "bench/benchrig.h"
#include "bench/qtbenchmain.h"
#include "tests/fakeport.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace
{
constexpr double FramesPerSecond = 460;

// A sine of changing size and phase, as a live line gives it; framed as the analyser sends it.
QList<QByteArray> framedOscFrames()
{
    QList<QByteArray> frames;
    for (int k = 0; k < 32; ++k) {
        QByteArray p(197, '\0');
        p[0] = 'M';
        const quint16 vpp = quint16(900 + 37 * k);
        p[2] = char(vpp & 0xFF);
        p[3] = char(vpp >> 8);
        p[4] = 1;
        for (int i = 0; i < 192; ++i)
            p[5 + i] = char(110 + std::lround((40 + k) * std::sin(i * 0.065 + k * 0.2)));
        frames << Frame::encode(p);
    }
    return frames;
}

// Line voltages measured, so the pair's row shows the AC voltage each frame brings.
struct Rig : BenchRig {
    Rig() : BenchRig(0, QByteArray("V\x10\x00\x20\x00\x01\x02\x00\x00\x00\x00\x00\x00", 13)) {}
};

void reportRate(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations());
    // CPU seconds per frame times 460 frames, in percent of one core.
    state.counters["core_pct_at_460fps"] =
        benchmark::Counter(double(state.iterations()) / (FramesPerSecond * 100),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
} // namespace

// Worst case: every frame is painted before the next arrives.
static void BM_OscFramePainted(benchmark::State& state)
{
    Rig rig;
    const QList<QByteArray> frames = framedOscFrames();
    int k = 0;
    for (auto _ : state) {
        rig.port->push(frames.at(k++ % frames.size()));
        QCoreApplication::processEvents();
    }
    reportRate(state);
}
BENCHMARK(BM_OscFramePainted)->MinTime(2.0);

// The data path alone: receive, decode, scale, pair record and row, with the paints left out.
static void BM_OscFrameData(benchmark::State& state)
{
    Rig rig;
    const QList<QByteArray> frames = framedOscFrames();
    int k = 0;
    for (auto _ : state)
        rig.port->push(frames.at(k++ % frames.size()));
    reportRate(state);
}
BENCHMARK(BM_OscFrameData)->MinTime(1.0);

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
