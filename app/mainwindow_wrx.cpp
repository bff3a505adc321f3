// WRx mode: the receiver widget, its data frames and commands, the signal search.
#include "mainwindow.h"

void MainWindow::setUpWrx() {}
void MainWindow::wrxStatus(const QByteArray&) {}
void MainWindow::wrxData(const QByteArray&) {}
