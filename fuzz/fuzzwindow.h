#pragma once

// What the harnesses that drive the real window share: an offscreen application that lives for the
// whole run, and a way to let queued work happen.
#include "app/mainwindow.h"
#include "fuzzcommon.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QTimer>

namespace Fuzz
{
// The CPU time an input of a window harness may take. Without the sanitizers these inputs take about
// 10 ms at most (4.8 ms for dispatch, 6.5 ms for a .refl file, 10.9 ms for a report tree, measured);
// AddressSanitizer and UBSan slow this code by 3 to 7 times, so the medians are 0.6 to 7 ms and the
// slowest of 1000 inputs takes 12 to 73 ms. On top come the allocator's quarantine batches (about
// 100 ms, on whichever input fills the quarantine) and the first input after the start; the slowest
// input seen in about 100,000 was 225 ms. A second leaves a busy machine room, and still stops an
// endless or quadratic loop 60 times sooner than libFuzzer's timeout.
constexpr double WindowCpuLimitMs = 1000;

inline void startApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window logs every message it sends and receives; formatted still, but not written out.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
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

inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace Fuzz
