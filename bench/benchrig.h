#pragma once

// The main window on a port stand-in, connected, on a given tab with pair 1 selected.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
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
