// "Add to Report" with every item of a mode ticked: the pictures of the plots and the pair table and
// the workbooks, written into a run folder under a temporary working directory. Goal: under 1 s.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace
{
struct Rig {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    FakePort* port = new FakePort;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> w;

    explicit Rig(int tab)
    {
        QDir::setCurrent(dir.path());
        w = std::make_unique<MainWindow>(nullptr, port, &prompts);
        w->resize(1280, 800);
        w->show();
        w->openSerialPort();
        port->pushPayload(QByteArray("S\x01\x02\x05", 4));
        w->form()->tabWidget->setCurrentIndex(tab);
        w->swClick(1, 1);
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }
    ~Rig()
    {
        w.reset();
        QDir::setCurrent(previous);
    }
    void capture(QPushButton* add)
    {
        w->form()->addREP->setChecked(true);
        add->click();
    }
};
} // namespace

// tab 0..3; the panel's "Add to Report" of that tab.
static void BM_Capture(benchmark::State& state)
{
    const int tab = int(state.range(0));
    Rig rig(tab);
    QPushButton* adds[] = {rig.w->form()->addREP1, rig.w->form()->addREP2, rig.w->form()->addREP3,
                           rig.w->form()->addREP4};
    for (auto _ : state)
        rig.capture(adds[tab]);
    const char* names[] = {"LFA", "WRx", "NLJD", "REFL"};
    state.SetLabel(names[tab]);
}
BENCHMARK(BM_Capture)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
