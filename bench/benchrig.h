#pragma once

// The main window on a port stand-in, connected, on a given tab with pair 1 selected; and the
// real-time pieces: a stream paced to the link's byte rate and the GUI thread's share of one core.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <ctime>
#include <functional>
#include <memory>

struct BenchRig {
    FakePort* port = new FakePort;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> w;

    // afterSelect: a message the analyser sends once the pair is selected (may be empty).
    explicit BenchRig(int tab, const QByteArray& afterSelect = QByteArray())
    {
        w = std::make_unique<MainWindow>(nullptr, port, &prompts);
        w->resize(1280, 800);
        w->show();
        w->openSerialPort();
        port->pushPayload(QByteArray("S\x01\x02\x05", 4));
        if (tab != 0)
            w->form()->tabWidget->setCurrentIndex(tab);
        w->swClick(1, 1);
        if (!afterSelect.isEmpty())
            port->pushPayload(afterSelect);
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }
};

constexpr double LinkBytesPerSecond = 921600 / 10.0; // 8 data bits, a start and a stop bit

inline double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

inline void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop for the given wall time; the share of one core the GUI thread used, in percent.
inline double measuredCorePercent(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double cpu0 = threadCpuSeconds();
    wall.start();
    loop.exec();
    return 100.0 * (threadCpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
}

// The analyser's messages on a port stand-in, paced by the wall clock to the link's byte rate:
// every 2 ms next() is asked for more until the bytes sent catch up with the time passed.
struct PacedStream {
    FakePort& port;
    std::function<void(PacedStream&)> next; // pushes one or more payloads
    QElapsedTimer clock;
    QTimer pump;
    double bytesSent = 0;

    PacedStream(FakePort& p, std::function<void(PacedStream&)> n) : port(p), next(std::move(n))
    {
        pump.setTimerType(Qt::PreciseTimer);
        pump.setInterval(2);
        QObject::connect(&pump, &QTimer::timeout, [this] { catchUp(); });
    }
    void start()
    {
        clock.start();
        pump.start();
    }
    void push(const QByteArray& payload)
    {
        const QByteArray framed = Frame::encode(payload);
        bytesSent += framed.size();
        port.push(framed);
    }
    void catchUp()
    {
        const double due = clock.nsecsElapsed() / 1e9 * LinkBytesPerSecond;
        while (bytesSent < due)
            next(*this);
    }
};
