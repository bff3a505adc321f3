// NLJD mode: harmonics display, probing level, .nljd files and their comparison.
#include "mainwindow.h"

void MainWindow::setUpNljd() {}
void MainWindow::nljdData(const QByteArray&) {}
void MainWindow::compareNLD(uchar) {}
