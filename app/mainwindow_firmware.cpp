// Firmware update: the Update tab's file choice and the transfer, which FirmwareTransfer runs.
#include "mainwindow.h"

#include "app/prompts.h"
#include "firmware/firmwaretransfer.h"
#include "ui_mainwindow.h"

void MainWindow::setUpFirmware()
{
    m_firmware = new FirmwareTransfer(this);
    connect(m_firmware, &FirmwareTransfer::send, this, &MainWindow::writeData);
    connect(m_firmware, &FirmwareTransfer::progress, ui->progressBar, &QProgressBar::setValue);
    connect(m_firmware, &FirmwareTransfer::ended, this,
            [this](FirmwareTransfer::Outcome outcome) { firmwareEnded(int(outcome)); });

    ui->progressBar->setValue(0);
    ui->progressBar->hide();
    ui->UpdateLog->clear();
    m_updateBusy = false;
    // Until an analyser answers, the update box stays shut.
    ui->updateBox->setEnabled(false);
    connect(ui->But_Browse, &QPushButton::clicked, this, [this] { proshivka2(); });
    connect(ui->But_Reprog, &QPushButton::clicked, this, [this] { proshivka(1); });
}

void MainWindow::proshivka2()
{
    const QString path = m_prompts->openFileName(tr("Open File"), QString(), tr("KV847 firmware (*.bin)"));
    if (path.isEmpty())
        return;
    ui->pathFW->setText(path);
    ui->But_Reprog->setEnabled(true);
}

void MainWindow::proshivka(uchar act)
{
    switch (act) {
    case 1:
    case 5:
        firmwareStart(act == 1);
        break;
    case 0:
        m_firmware->nextBlock();
        break;
    case 2:
        m_firmware->finish();
        ui->pathFW->clear();
        ui->progressBar->setValue(0);
        ui->progressBar->hide();
        lockTabsForUpdate(false);
        break;
    default:
        break;
    }
}

void MainWindow::firmwareStart(bool withBar)
{
    if (m_firmware->running())
        return;
    ui->But_Reprog->setEnabled(false);
    m_updateBusy = true;
    const QString path = withBar ? ui->pathFW->text() : QStringLiteral("tmp.tmp");
    if (withBar)
        ui->progressBar->show();
    QString refusal;
    switch (m_firmware->start(path)) {
    case FirmwareTransfer::Start::Started:
        ui->UpdateLog->clear();
        lockTabsForUpdate(true);
        return;
    case FirmwareTransfer::Start::CannotOpen:
        refusal = tr("Could not open file");
        break;
    case FirmwareTransfer::Start::NotFirmware:
        refusal = tr("This file is not a firmware for KV847!");
        break;
    case FirmwareTransfer::Start::Busy:
        return;
    }
    // Nothing was sent: the watchdog takes the link back and the bar goes away again.
    m_updateBusy = false;
    ui->progressBar->hide();
    m_prompts->critical(tr("Error"), refusal);
}

void MainWindow::firmwareReply(quint8 code)
{
    m_firmware->reply(code);
}

void MainWindow::firmwareEnded(int outcome)
{
    m_updateBusy = false;
    // Verdicts arrive inside the receive path (or from the reply time-out): their boxes wait for the
    // event loop, so the port keeps being read while the user reads them.
    switch (FirmwareTransfer::Outcome(outcome)) {
    case FirmwareTransfer::Outcome::Failed:
        m_prompts->later(this, &Prompts::critical, tr("Error"),
                         tr("An error occurred during the update!\nRun the update again!"));
        break;
    case FirmwareTransfer::Outcome::Done:
        m_prompts->later(this, &Prompts::information, tr("Info"), tr("Update done!"));
        // The analyser restarts with its new firmware; the watchdog finds it again.
        closeSerialPort();
        break;
    case FirmwareTransfer::Outcome::Ended:
        m_activity = 0;
        break;
    }
    proshivka(2);
}

void MainWindow::lockTabsForUpdate(bool locked)
{
    // Another tab would take the analyser out of its firmware mode in the middle of a transfer.
    for (int i = 0; i < ui->tabWidget->count(); ++i)
        if (i != ui->tabWidget->currentIndex())
            ui->tabWidget->setTabEnabled(i, !locked);
    ui->But_Browse->setEnabled(!locked);
}
