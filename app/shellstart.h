#pragma once

#include "app/mainwindow.h"
#include "shell/framelesswindow.h"

#include <QCoreApplication>
#include <QIcon>
#include <QPixmapCache>

// The start-up composition: the main window inside the frameless shell, wired to its title, icon,
// battery and size. The shell owns the window afterwards. Shared by the program and its benchmarks,
// so that what is measured is what the user runs.
// The style draws each button and box once per palette into the process-wide pixmap cache, and a
// widget restyled on a toggle, or a report tile made anew, gets a new palette: its old drawings can
// never be found again but stay until the cache is full. The window's live drawings take under 1 MB,
// so the cache is held to a little more than that instead of Qt's 10 MB.
constexpr int PixmapCacheLimitKb = 2048;

inline void putIntoShell(FramelessWindow& shell, MainWindow* w)
{
    QPixmapCache::setCacheLimit(PixmapCacheLimitKb);
    const QString noConnection = QCoreApplication::translate("MainWindow", "KV847: no connection!");
    const QString red = QStringLiteral("#ff5555");
    QObject::connect(w, &MainWindow::setWindowTitle, &shell, &FramelessWindow::setWindowTitle);
    QObject::connect(w, &MainWindow::setWindowIcon, &shell, &FramelessWindow::setWindowIcon);
    QObject::connect(w, &MainWindow::sigBat, &shell, &FramelessWindow::setBat);
    QObject::connect(&shell, &FramelessWindow::winRez, w,
                     static_cast<void (MainWindow::*)(QSize)>(&MainWindow::resizeSLOT));
    shell.setWindowIcon(QIcon(":/img/off.png"));
    shell.setWindowTitle(noConnection, red);
    shell.embedContent(w);
}
