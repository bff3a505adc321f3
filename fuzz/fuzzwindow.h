#pragma once

// What the harnesses that drive the real window share: an offscreen application that lives for the
// whole run, and a way to let queued work happen.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace Fuzz
{
inline void startApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kv847-fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the window outlives every input, and the process simply ends.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

// The watchdog would probe the port on its own time; the inputs alone drive the window.
inline void stopWatchdogTimers(MainWindow& w)
{
    for (QTimer* t : w.findChildren<QTimer*>())
        if (t->interval() == 500)
            t->stop();
}

// The window for a harness: on the given port and prompts, watchdog stopped, showing this tab.
inline MainWindow* startWindow(AnalyserPort* port, Prompts* prompts, int tab)
{
    startApplication();
    auto* w = new MainWindow(nullptr, port, prompts);
    stopWatchdogTimers(*w);
    w->form()->tabWidget->setCurrentIndex(tab);
    return w;
}

// A broken rule ends the run with its name; libFuzzer keeps the input.
inline void check(bool holds, const char* what)
{
    if (!holds) {
        fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Where a harness writes its input as a file: in memory when the system offers it.
inline QTemporaryDir* scratchFolder()
{
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isDir();
    return new QTemporaryDir(shm ? QStringLiteral("/dev/shm/kv847-fuzz-XXXXXX") : QString());
}

inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace Fuzz
