// Firmware transfer pace. The transfer waits only for the analyser's acknowledgements, so its speed is
// the round trip: the program's share (an acknowledgement in, the next block framed and written out)
// should stay far below 1 ms; the whole update against the virtual analyser gives blocks per second.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "bench/qtbenchmain.h"
#include "firmware/firmwaretransfer.h"
#include "sim/mode_firmware.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace
{
QString writeImage(const QTemporaryDir& dir, int dataBytes)
{
    const QString path = dir.filePath("fw.bin");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(FirmwareMode::demoImage(1, 0, dataBytes));
    return path;
}
} // namespace

// One acknowledgement through readData and the block it sends back, on a scripted port.
static void BM_ProgramShareOfRoundTrip(benchmark::State& state)
{
    constexpr int Blocks = 20000;
    QTemporaryDir dir;
    const QString path = writeImage(dir, Blocks * 64);
    auto* port = new FakePort;
    ScriptedPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    w.openSerialPort();
    port->pushPayload(QByteArray("S\x01\x02\x05", 4));
    const QByteArray ack = Frame::encode(QByteArray("D\x00", 2));
    int left = 0;
    for (auto _ : state) {
        if (left == 0) {
            state.PauseTiming();
            port->pushPayload(QByteArray("D\x04", 2));
            port->sent.clear();
            w.form()->pathFW->setText(path);
            w.proshivka(1);
            left = Blocks;
            state.ResumeTiming();
        }
        port->push(ack);
        --left;
        if (port->sent.size() > 1000)
            port->sent.clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProgramShareOfRoundTrip)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// A whole 256 KiB update against the virtual analyser, replies delivered through the event loop.
static void BM_WholeUpdateOnVirtualAnalyser(benchmark::State& state)
{
    constexpr int Blocks = 4096;
    QTemporaryDir dir;
    const QString path = writeImage(dir, Blocks * 64);
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* port = new VirtualAnalyserPort(analyser);
    ScriptedPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    for (auto _ : state) {
        state.PauseTiming();
        // Reconnects after the previous update's restart.
        for (int i = 0; i < 20 && w.linkState() < 2; ++i) {
            w.openSerialPort();
            QCoreApplication::processEvents();
        }
        w.form()->tabWidget->setCurrentIndex(5);
        w.form()->pathFW->setText(path);
        const int done = prompts.count("information");
        state.ResumeTiming();
        w.proshivka(1);
        while (prompts.count("information") == done && w.updateBusy())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    state.counters["blocks_per_s"] =
        benchmark::Counter(double(state.iterations()) * Blocks, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeUpdateOnVirtualAnalyser)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv);
}
