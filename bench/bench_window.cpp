// The real window as the user runs it: frameless shell, main window and dark style, composed as at
// start-up, fed in real time. Each run lasts RunSeconds of wall time and reports the GUI thread's CPU
// time as a share of one core (core_pct).
//   LfaFullRate: the LFA tab with a pair selected and the analyser's LFA mix filling the whole link
//     (921600 baud): oscilloscope frames, a spectrum pair every other frame, line voltages and the
//     LFA status at the analyser's talk pace. Checks that the last frame reached the trace, the Vpp
//     caption and the pair's record.
//   IdleConnected, Nljd, Refl: the virtual analyser behind its port, at its own pace; NLJD and REFL
//     with a pair selected (REFL measuring again as soon as a measurement ends).
// Runs on any platform; QT_QPA_PLATFORM=xcb under Xvfb shows the cost of real composition.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "app/shellstart.h"
#include "bench/benchrig.h"
#include "modes/lfa/lfamessages.h"
#include "modes/lfa/osc.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "shell/darkstyle.h"
#include "shell/framelesswindow.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <qwt_plot_curve.h>

#include <cmath>
#include <functional>

namespace
{
constexpr double RunSeconds = 3.0;
constexpr int StatusEveryMs = VirtualAnalyser::DefaultTalkIntervalMs;

// The program as start-up builds it, on the given port.
struct Window {
    ScriptedPrompts prompts;
    FramelessWindow shell;
    MainWindow* w;

    explicit Window(AnalyserPort* port) : w(new MainWindow(nullptr, port, &prompts))
    {
        putIntoShell(shell, w);
        shell.show();
    }
    Ui::MainWindow* ui() const { return w->form(); }
    OSC* osc() const { return w->findChild<OSC*>(); }
};

QByteArray oscFrame(int n)
{
    QByteArray p(197, '\0');
    p[0] = 'M';
    // Every frame its own Vpp, so the caption tells which frame was shown last.
    const quint16 vpp = quint16(1000 + n % 30000);
    p[2] = char(vpp & 0xFF);
    p[3] = char(vpp >> 8);
    p[4] = 1;
    const int k = n % 32;
    for (int i = 0; i < 192; ++i)
        p[5 + i] = char(110 + std::lround((40 + k) * std::sin(i * 0.065 + k * 0.2)));
    return p;
}

QByteArray spectrumBlock(int n, quint8 block)
{
    QByteArray p(3 + Lfa::BinsPerBlock, '\0');
    p[0] = 'M';
    p[1] = 1;
    p[2] = char(block);
    for (int i = 0; i < Lfa::BinsPerBlock; ++i)
        p[3 + i] = char(20 + (i * 7 + n) % 30);
    return p;
}

const QByteArray LfaStatus("S\x04\x01\x02\x00\x00\x05\x00\x05\x00\x00\x00\x00", 13);
const QByteArray LfaVoltages("V\x10\x00\x20\x00\x01\x02\x00\x00\x00\x00\x00\x00", 13);

// The analyser's LFA stream on a scripted port, paced by the wall clock to the link's byte rate.
struct LfaStream {
    PacedStream paced;
    int frames = 0;
    int statusSent = 0;
    QByteArray lastFrame;
    QStringList recentCaptions; // the caption is refreshed every few frames

    explicit LfaStream(FakePort& p) : paced(p, [this](PacedStream& s) { next(s); }) {}
    void start() { paced.start(); }
    void next(PacedStream& s)
    {
        const int statusDue = int(s.clock.elapsed() / StatusEveryMs);
        if (statusSent < statusDue) {
            statusSent = statusDue;
            s.push(LfaStatus);
            s.push(LfaVoltages);
        }
        lastFrame = oscFrame(frames);
        const Lfa::OscFrame f = Lfa::decodeOscFrame(lastFrame);
        recentCaptions.append(Lfa::vppCaption(f.vpp, f.vppUnit));
        if (recentCaptions.size() > 8)
            recentCaptions.removeFirst();
        s.push(lastFrame);
        if (frames % 2 == 1) {
            s.push(spectrumBlock(frames, 0));
            s.push(spectrumBlock(frames, 1));
        }
        ++frames;
    }
};

// What the window shows of the last frame sent; empty when it shows all of it.
QString lastFrameMissing(const Window& win, const LfaStream& stream)
{
    const Lfa::OscFrame f = Lfa::decodeOscFrame(stream.lastFrame);
    if (!stream.recentCaptions.contains(win.osc()->vppText().text()))
        return "Vpp caption";
    const QwtPlotCurve* trace = win.osc()->oscCurve();
    for (int i = 0; i < Lfa::SamplesPerFrame; ++i) {
        const double y = trace->sample(size_t(i)).y();
        const int s = int(f.samples[size_t(i)]) - Lfa::ZeroSample;
        if ((s > 0) != (y > 0) || (s < 0) != (y < 0))
            return "trace";
    }
    if (std::abs(win.w->pairStore()[1].acVoltage - float(Lfa::vppVolts(f.vpp, f.vppUnit))) > 1e-6f)
        return "pair record";
    return {};
}
} // namespace

static void BM_LfaFullRate(benchmark::State& state)
{
    auto* port = new FakePort;
    Window win(port);
    win.w->openSerialPort();
    port->pushPayload(QByteArray("S\x01\x02\x05", 4));
    win.ui()->tabWidget->setCurrentIndex(0);
    win.w->swClick(1, 1);
    port->pushPayload(LfaVoltages);
    settle(300);

    LfaStream stream(*port);
    double pct = 0;
    for (auto _ : state) {
        stream.start();
        pct = measuredCorePercent(RunSeconds);
        stream.paced.pump.stop();
    }
    settle(50);
    if (!port->atEnd())
        state.SkipWithError("frames left unread");
    else if (const QString missing = lastFrameMissing(win, stream); !missing.isEmpty())
        state.SkipWithError(qPrintable("last frame not in the " + missing));
    state.counters["core_pct"] = pct;
    state.counters["osc_fps"] = stream.frames / RunSeconds;
    state.counters["link_kBps"] = stream.paced.bytesSent / RunSeconds / 1000;
}
BENCHMARK(BM_LfaFullRate)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

namespace
{
// The program on the virtual analyser, connected, on the given tab; select runs once connected.
void runOnAnalyser(benchmark::State& state, int tab, const std::function<void(VirtualAnalyser&, Window&)>& select)
{
    VirtualAnalyser analyser;
    Window win(new VirtualAnalyserPort(analyser));
    win.ui()->tabWidget->setCurrentIndex(tab);
    QElapsedTimer waited;
    waited.start();
    while (win.w->linkState() < 2 && waited.elapsed() < 8000)
        settle(50);
    if (win.w->linkState() < 2) {
        state.SkipWithError("no connection");
        return;
    }
    if (select)
        select(analyser, win);
    settle(500);
    int messages = 0;
    QObject::connect(&analyser, &VirtualAnalyser::output, [&messages] { ++messages; });
    double pct = 0;
    for (auto _ : state)
        pct = measuredCorePercent(RunSeconds);
    if (!analyser.isConnected())
        state.SkipWithError("link lost");
    state.counters["core_pct"] = pct;
    state.counters["msgs_per_s"] = messages / RunSeconds;
}

int pairWithJunction(const CableModel& cable)
{
    for (int p = 1; p <= PairCount; ++p)
        if (cable.junctionOf(pairWires(p).a, pairWires(p).b) > 0)
            return p;
    return 1;
}
} // namespace

static void BM_IdleConnected(benchmark::State& state)
{
    runOnAnalyser(state, 0, nullptr);
}
BENCHMARK(BM_IdleConnected)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

static void BM_Nljd(benchmark::State& state)
{
    runOnAnalyser(state, 2, [](VirtualAnalyser& analyser, Window& win) {
        win.w->swClick(pairWithJunction(analyser.cable()), 1);
    });
}
BENCHMARK(BM_Nljd)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

static void BM_Refl(benchmark::State& state)
{
    runOnAnalyser(state, 3, [](VirtualAnalyser&, Window& win) {
        win.w->swClick(1, 1);
        // Measure again as soon as a measurement ends.
        auto* again = new QTimer(win.w);
        QObject::connect(again, &QTimer::timeout, win.w, [&win] {
            if (!win.ui()->refTEST->isChecked())
                win.ui()->refTEST->click();
        });
        again->start(50);
    });
}
BENCHMARK(BM_Refl)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new DarkStyle);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
