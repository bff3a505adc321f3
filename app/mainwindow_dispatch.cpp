// Every message from the analyser: keeps the link alive, handles status, battery and progress, and
// hands measurement messages to the mode of the shown tab.
#include "mainwindow.h"

#include "link/dispatchroute.h"
#include "pairs/pairnumbering.h"
#include "shell/sharedicon.h"
#include "ui_mainwindow.h"

#include <qwt_slider.h>

void MainWindow::actionUSB(QByteArray data)
{
    const bool afterSilence = linkState() >= SilentLinkState;
    m_watchdog->heard();
    const int tab = ui->tabWidget->currentIndex();
    const Route route = routeFor(data, tab, m_currentPair != 0);
    // Every message of a measurement shows that it is still under way (NLJD readings stream all the
    // time: they count only while progress holds the window).
    if (route == Route::Progress || route == Route::Refl ||
        (route == Route::Nljd && !ui->centralWidget->isEnabled()))
        awaitMeasurement();
    if (route == Route::Lfa || route == Route::LfaVoltage || route == Route::Wrx || route == Route::Nljd)
        m_sinceTabData.restart();
    switch (route) {
    case Route::Status:
        statusMessage(data);
        break;
    case Route::Battery:
        emit sigBat(byteAt(data, 1), byteAt(data, 2) != 0);
        break;
    case Route::Progress:
        progressMessage(data);
        break;
    case Route::Firmware:
        firmwareReply(byteAt(data, 1));
        break;
    case Route::Lfa:
        if (byteAt(data, 1) == 0) {
            lfaData(data);
            lfaPairValues(data);
        } else if (byteAt(data, 1) == 1) {
            lfaSpectrum(data);
        }
        break;
    case Route::LfaVoltage:
        lfaVoltages(data);
        break;
    case Route::Wrx:
        wrxData(data);
        break;
    case Route::Nljd:
        nljdData(data);
        break;
    case Route::Refl:
        reflData(data);
        break;
    case Route::KeepAlive:
    case Route::Ignore:
        break;
    }
    if (afterSilence)
        resumeAfterSilence();
}

void MainWindow::statusMessage(const QByteArray& data)
{
    if (data.size() > 1 && byteAt(data, 1) == 1) {
        emit setWindowIcon(sharedIcon(":/img/on.png"));
        emitLinkTitle(LinkTitle::Connected);
        m_fwMajor = byteAt(data, 2);
        m_fwMinor = byteAt(data, 3);
        m_fwKnown = true;
        showFirmwareVersion();
        ui->updateBox->setEnabled(!m_updateBusy);
        sendModeSelect(quint8(ui->tabWidget->currentIndex() + 4));
        return;
    }
    emit sigBat(byteAt(data, 6), byteAt(data, 7) != 0);

    const quint8 a = byteAt(data, 2), b = byteAt(data, 3);
    const quint8 pair = pairNumberOf(a, b);
    // A receiver scan sends commands around each step and the analyser answers each with its status,
    // so one answer from before the switch may still name the pair left; the scan goes on. Elsewhere a
    // status names the analyser's own choice, which the window follows.
    const bool answerBeforeSwitch =
        m_scanning && ui->tabWidget->currentIndex() == Tab::Wrx && pair == m_scanLeftPair;
    if (pair == m_currentPair)
        m_scanLeftPair = -1; // the analyser has taken the last scan step
    else if (!answerBeforeSwitch)
        swClick(pair, 1);

    if (data.size() < 2)
        return;
    switch (byteAt(data, 1)) {
    case 4:
        lfaStatus(data);
        break;
    case 5:
        wrxStatus(data);
        refreshPairTable();
        break;
    case 6:
        ui->slNLD->setValue(data.size() > 8 ? (qint8(byteAt(data, 8)) + 1) * 20 : 20);
        break;
    case 7:
        reflStatus(data);
        break;
    default:
        break;
    }
}

void MainWindow::progressMessage(const QByteArray& data)
{
    QProgressBar* bar = ui->tabWidget->currentIndex() == Tab::Nljd ? ui->progrNLD : ui->progrFDR;
    const quint8 value = byteAt(data, 1);
    bar->setValue(value);
    if (value == 0) {
        bar->show();
        ui->centralWidget->setEnabled(false);
    } else if (value == 100) {
        bar->hide();
        ui->centralWidget->setEnabled(true);
    }
}
