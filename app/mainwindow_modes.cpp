// Entry points of the mode handlers. Each mode's code fills its own; until then its messages are
// routed here and dropped.
#include "mainwindow.h"

void MainWindow::lfaStatus(const QByteArray&) {}
void MainWindow::wrxStatus(const QByteArray&) {}
void MainWindow::reflStatus(const QByteArray&) {}
void MainWindow::lfaData(const QByteArray&) {}
void MainWindow::lfaPairValues(const QByteArray&) {}
void MainWindow::lfaSpectrum(const QByteArray&) {}
void MainWindow::lfaVoltages(const QByteArray&) {}
void MainWindow::wrxData(const QByteArray&) {}
void MainWindow::nljdData(const QByteArray&) {}
void MainWindow::reflData(const QByteArray&) {}
void MainWindow::firmwareReply(quint8) {}
