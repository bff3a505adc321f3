// The serial link: framing out, reassembly in, and the connection watchdog.
#include "mainwindow.h"

#include "app/porterror.h"
#include "app/prompts.h"
#include "firmware/firmwaretransfer.h"
#include "link/analyserport.h"
#include "link/dispatchroute.h"
#include "pairs/pairstore.h"
#include "shell/sharedicon.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QTimer>

void MainWindow::writeData(QByteArray data)
{
    // Also when nothing can go out: a measurement asked for now must not be awaited for ever.
    if (data.size() >= 2 && data.at(0) == 'F' && data.at(1) == 4)
        awaitMeasurement();
    // Not on a pair select: the analyser takes that in whatever mode it is in, and a user picking
    // pair after pair would otherwise hold back the mode select a hung analyser missed.
    if (!data.isEmpty() && data.at(0) == 'R')
        m_sinceTabData.restart();
    const quint8 state = linkState();
    if (state == 0)
        return;
    if (state == 1 && (data.isEmpty() || data.at(0) != 'U'))
        return;
    const QByteArray frame = Frame::encode(data);
    if (frame.isEmpty()) {
        qDebug().noquote() << "TX refused: payload of" << data.size() << "bytes does not fit one frame";
        return;
    }
    m_port->write(frame);
    m_port->waitForBytesWritten(30000);
    const QByteArray trace = Frame::txTrace(data);
    if (!trace.isEmpty())
        qDebug().noquote() << QString::fromLatin1(trace);
}

void MainWindow::readData()
{
    // Sending from a handler may let the port report more input before we return; those bytes stay
    // in the port and this loop takes them next, so frames are always delivered in arrival order.
    if (m_inReadData)
        return;
    m_inReadData = true;
    while (m_port->isOpen() && !m_port->atEnd()) {
        const QByteArray chunk = m_port->readAll();
        for (char c : chunk) {
            if (!m_receiver.feed(quint8(c)))
                continue;
            const QByteArray payload = m_receiver.takePayload();
            if (Frame::rxTraced(payload))
                qDebug().noquote() << "RX: " + QString::fromLatin1(m_receiver.trace());
            actionUSB(payload);
            // A handler may have closed the port (lost device, finished update): what was read
            // with it belongs to a link that is gone.
            if (!m_port->isOpen())
                break;
        }
    }
    m_inReadData = false;
}

void MainWindow::openSerialPort()
{
    m_watchdog->step(m_updateBusy);
}

void MainWindow::closeSerialPort()
{
    m_watchdog->closePort();
    // Nothing more can reach the analyser: a transfer in progress has failed.
    m_firmware->linkLost();
    emit setWindowTitle(tr("KV847: no connection!"), "#ff5555");
    emit setWindowIcon(sharedIcon(":/img/off.png"));
    ui->updateBox->setEnabled(false);
    // A link lost in the middle of a measurement must not leave the window locked.
    releaseMeasurement();
}

void MainWindow::releaseMeasurement()
{
    if (m_measureGuard)
        m_measureGuard->stop();
    ui->centralWidget->setEnabled(true);
    ui->progrNLD->hide();
    ui->progrFDR->hide();
    reflLinkLost();
}

void MainWindow::awaitMeasurement()
{
    if (!m_measureGuard) {
        m_measureGuard = new QTimer(this);
        m_measureGuard->setSingleShot(true);
        m_measureGuard->setInterval(MeasurementLostMs);
        connect(m_measureGuard, &QTimer::timeout, this, &MainWindow::measurementLost);
    }
    m_measureGuard->start();
}

void MainWindow::measurementLost()
{
    // Frames of it were spoilt or never sent (line noise, a hung analyser, a request made while the
    // link was down): without this the Test button stays pressed, or the window locked, for ever.
    const bool awaited = !ui->centralWidget->isEnabled() || m_measuring || ui->refTEST->isChecked() ||
                         (m_scanning && ui->tabWidget->currentIndex() == Tab::Refl);
    if (!awaited)
        return;
    qDebug() << "measurement lost: nothing of it for" << MeasurementLostMs << "ms";
    releaseMeasurement();
    // The analyser may never have heard the mode select (it hung for a moment): the next Test works.
    if (linkState() >= 2 && ui->tabWidget->currentIndex() == Tab::Refl)
        announceModeAndPair();
}

void MainWindow::watchTabStream()
{
    const int tab = ui->tabWidget->currentIndex();
    if (tab > Tab::Nljd || m_currentPair == 0 || linkState() < 2 || m_updateBusy)
        return;
    if (!m_sinceTabData.isValid() || m_sinceTabData.elapsed() < StreamLostMs)
        return;
    qDebug() << "no data for the shown tab for" << StreamLostMs << "ms: mode and pair announced again";
    announceModeAndPair();
}

void MainWindow::resumeAfterSilence()
{
    if (linkState() < 2 || m_updateBusy || ui->tabWidget->currentIndex() > Tab::Refl)
        return;
    qDebug() << "the analyser answers again: mode and pair announced again";
    announceModeAndPair();
    // A Test or scan step asked for during the silence never reached it.
    if (ui->tabWidget->currentIndex() == Tab::Refl && !m_measuring && m_currentPair != 0 &&
        (ui->refTEST->isChecked() || m_scanning))
        writeData(QByteArray("F\x04", 2));
}

void MainWindow::announceModeAndPair()
{
    sendModeSelect(quint8(ui->tabWidget->currentIndex() + 4));
    const PairRecord& r = (*m_pairs)[m_currentPair];
    writeData(QByteArray("I\x01", 2) + char(r.wireA) + char(r.wireB));
}

void MainWindow::handleError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::ResourceError)
        closeSerialPort();
}

void MainWindow::showSetupError(const QString& errorString)
{
    // The connection timer keeps running while the box is open; one box at a time is enough.
    if (m_errorBoxOpen)
        return;
    m_errorBoxOpen = true;
    m_prompts->critical(tr("Error"), portOpenErrorText(m_port->portError(), m_port->portName(), errorString));
    m_errorBoxOpen = false;
}
