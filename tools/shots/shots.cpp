// Developer tool: grabs the main window on the virtual analyser, one picture per tab, so a change of
// the layout can be looked at without a display. Usage: kv847-shots OUTDIR [WIDTHxHEIGHT]
#include "app/mainwindow.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>

static void waitMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? argv[1] : "shots";
    QSize size(991, 677);
    if (argc > 2) {
        const QStringList wh = QString(argv[2]).split('x');
        if (wh.size() == 2)
            size = QSize(wh[0].toInt(), wh[1].toInt());
    }
    QDir().mkpath(out);
    VirtualAnalyser analyser;
    MainWindow w(nullptr, new VirtualAnalyserPort(analyser));
    w.resize(size);
    w.show();
    waitMs(2500);
    const char* names[] = {"lfa", "wrx", "nljd", "refl", "report", "update"};
    for (int tab = 0; tab < 6; ++tab) {
        w.form()->tabWidget->setCurrentIndex(tab);
        waitMs(600);
        w.grab().save(QStringLiteral("%1/%2.png").arg(out, names[tab]));
    }
    return 0;
}
