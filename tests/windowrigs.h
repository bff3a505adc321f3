#pragma once

// The main window as the window tests build it: on a scripted fake port, or on the virtual analyser.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "fakeport.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QTimer>
#include <QtTest>
#include <memory>

// Stops a running scan's own 4500 ms timer, so that only the test moves the scan on.
inline void holdScanTimer(MainWindow& w)
{
    for (QTimer* t : w.findChildren<QTimer*>())
        if (t->interval() == 4500)
            t->stop();
}

// The window on a fake port; log holds every payload the window writes.
struct FakePortWindowRig {
    FakePort* port = new FakePort;
    ScriptedPrompts prompts;
    QList<QByteArray> log; // outlives the port, which the window deletes
    std::unique_ptr<MainWindow> w;

    FakePortWindowRig()
    {
        port->log = &log;
        w = std::make_unique<MainWindow>(nullptr, port, &prompts);
    }
    Ui::MainWindow* ui() const { return w->form(); }
    // Opens the fake port and lets the analyser answer the connect request.
    void connectAnalyser()
    {
        w->openSerialPort();
        port->pushPayload(QByteArray("S\x01\x02\x05", 4));
        log.clear();
    }
};

// The window on the virtual analyser, which talks only when the test lets it.
struct AnalyserWindowRig {
    VirtualAnalyser analyser;
    VirtualAnalyserPort* port = new VirtualAnalyserPort(analyser);
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> w;

    // prepare sets the analyser up before the window exists.
    explicit AnalyserWindowRig(void (*prepare)(VirtualAnalyser&) = nullptr)
    {
        analyser.setAutoTalk(false);
        if (prepare)
            prepare(analyser);
        w = std::make_unique<MainWindow>(nullptr, port, &prompts);
        // The test drives the watchdog itself, run by run.
        for (QTimer* t : w->findChildren<QTimer*>())
            if (t->interval() == 500)
                t->stop();
    }
    Ui::MainWindow* ui() const { return w->form(); }
    // One tick of the connection timer: two watchdog runs, then whatever the analyser answered.
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            w->openSerialPort();
            w->openSerialPort();
            settle();
        }
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    // Connected and past the hold-off that follows opening the port, with nothing sent yet.
    void connectNow()
    {
        tick(4);
        QCOMPARE(w->linkState(), quint8(2));
        port->clearSent();
    }
    int sentCount(const QByteArray& payload) const { return int(port->sentPayloads().count(payload)); }
};
