// The mode-tab switch: tells the analyser which mode the shown tab needs.
#include "mainwindow.h"

#include "link/dispatchroute.h"
#include "ui_mainwindow.h"

#include <QDebug>

void MainWindow::sendModeSelect(quint8 code)
{
    const QByteArray select("R" + QByteArray(1, char(code)));
    writeData(select);
    qDebug() << "mode select" << quint8(select.at(0)) << quint8(select.at(1));
}

void MainWindow::modeTabChanged(int index)
{
    repaint();
    ui->addREP->setChecked(false);
    const bool modeTab = index >= Tab::Lfa && index <= Tab::Refl;
    ui->addREP->setEnabled(modeTab);
    ui->scanAll->setEnabled(modeTab);

    if (index == Tab::Report) {
        ui->listREP->show();
        if (m_currentMode >= 0 && m_currentMode <= 3)
            ui->REPORT->setCurrentIndex(m_currentMode);
        resizeWIN();
        return;
    }
    if (index == Tab::Update) {
        ui->swTAB->hide();
        ui->listREP->hide();
        swClick(0, 1);
        sendModeSelect(1);
        m_currentMode = 1;
        resizeWIN();
        return;
    }
    if (!modeTab)
        return;
    ui->swTAB->show();
    ui->listREP->hide();
    if (m_currentMode == 1 || m_currentMode != index) {
        m_currentMode = index;
        swClick(0, 1);
        sendModeSelect(quint8(index + 4));
    }
    resizeWIN();
}
