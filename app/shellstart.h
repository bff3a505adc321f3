#pragma once

#include "app/mainwindow.h"
#include "shell/framelesswindow.h"

#include <QCoreApplication>
#include <QIcon>

// The start-up composition: the main window inside the frameless shell, wired to its title, icon,
// battery and size. The shell owns the window afterwards. Shared by the program and its benchmarks,
// so that what is measured is what the user runs.
inline void putIntoShell(FramelessWindow& shell, MainWindow* w)
{
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
