// REFL mode: reflectogram and defect tables, the factor, .refl files and their comparison.
#include "mainwindow.h"

void MainWindow::setUpRefl() {}
void MainWindow::reflStatus(const QByteArray&) {}
void MainWindow::reflData(const QByteArray&) {}
void MainWindow::compareREF(uchar) {}
