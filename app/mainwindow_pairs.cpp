// Pair selection and the pair scan.
#include "mainwindow.h"

#include "pairs/pairnumbering.h"
#include "ui_mainwindow.h"

void MainWindow::swClick(int row, int col)
{
    Q_UNUSED(col);
    if (row == m_selectedRow || row < 1 || row > PairCount) {
        m_selectedRow = -1;
        m_currentPair = 0;
    } else {
        m_selectedRow = row;
        m_currentPair = quint8(row);
    }
    const PairWires w = pairWires(m_currentPair);
    writeData(QByteArray("I\x01", 2) + char(w.a) + char(w.b));
    emit sigKOMM();
}

void MainWindow::scanAll(bool act)
{
    Q_UNUSED(act);
}

void MainWindow::scanAll()
{
    scanAll(false);
}

void MainWindow::setFind(quint16 nom)
{
    Q_UNUSED(nom);
}

void MainWindow::clearAll() {}

void MainWindow::refreshPairTable() {}

void MainWindow::setUpPairTable() {}

void MainWindow::placeCableSwitch(const QRect&) {}
