// Firmware update: file check and transfer.
#include "mainwindow.h"

void MainWindow::firmwareReply(quint8) {}
