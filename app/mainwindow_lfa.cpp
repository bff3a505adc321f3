// LFA mode: the oscilloscope and spectrum widget, its data frames and commands.
#include "mainwindow.h"

void MainWindow::setUpLfa() {}
void MainWindow::lfaStatus(const QByteArray&) {}
void MainWindow::lfaData(const QByteArray&) {}
void MainWindow::lfaPairValues(const QByteArray&) {}
void MainWindow::lfaSpectrum(const QByteArray&) {}
void MainWindow::lfaVoltages(const QByteArray&) {}
