// WRx mode: the receiver widget, its data frames and commands, the signal search.
#include "mainwindow.h"

#include "app/prompts.h"
#include "link/dispatchroute.h"
#include "modes/wrx/rx.h"
#include "pairs/pairstore.h"
#include "ui_mainwindow.h"

void MainWindow::setUpWrx()
{
    m_rx = new RX(ui->tab_2);
    ui->layRX->addWidget(m_rx);
    RX::Owner owner;
    // The pair store is made after the receiver; it is looked up when needed.
    owner.pairs = [this] { return m_pairs.get(); };
    owner.currentPair = [this] { return m_currentPair; };
    owner.scanning = [this] { return m_scanning; };
    owner.askYesNo = [this](const QString& title, const QString& text) {
        return m_prompts->askYesNo(title, text);
    };
    m_rx->setOwner(owner);

    using C = Wrx::Command;
    const auto sendOn = [this](C c) { return [this, c](uint val) { sendWrx(int(c), quint16(val)); }; };
    connect(m_rx, &RX::changeX, this, sendOn(C::Time));
    connect(m_rx, &RX::changeDiap, this, sendOn(C::RangeMains));
    connect(m_rx, &RX::changeSila, this, [this](uchar val) {
        sendWrx(int(C::RangeMains), val);
        m_wrxMains = m_rx->mainsFlag();
        refreshPairTable();
    });
    connect(m_rx, &RX::changeKU, this, sendOn(C::Gain));
    connect(m_rx, &RX::changeStep, this, sendOn(C::Step));
    connect(m_rx, &RX::changeMark, this, sendOn(C::Marker));
    connect(m_rx, &RX::changeFIX, this, sendOn(C::Fix));
    connect(m_rx, &RX::changeSND, this, sendOn(C::Demod));
    connect(m_rx, &RX::changeDiff, this, sendOn(C::Diff));
    connect(m_rx, &RX::changeFind, this, [this] { sendWrx(int(C::Find), 0); });
    connect(m_rx, SIGNAL(updateFind(ushort)), this, SLOT(setFind(quint16)));
    connect(m_rx, &RX::nextPARA, this, [this] { scanAll(true); });
    connect(this, SIGNAL(sigKOMM()), m_rx, SLOT(FindTab()));
}

void MainWindow::sendWrx(int command, quint16 value)
{
    Wrx::CommandState s = m_rx->commandState();
    s.value = value;
    writeData(Wrx::command(Wrx::Command(command), s));
}

void MainWindow::wrxStatus(const QByteArray& data)
{
    m_rx->rxSET(data);
    m_wrxMains = m_rx->mainsFlag();
}

void MainWindow::wrxData(const QByteArray& data)
{
    switch (byteAt(data, 1)) {
    case 0:
        m_rx->specDATA(data);
        break;
    case 1:
    case 2:
        m_rx->findDATA(data);
        break;
    case 3:
        m_rx->levelDATA(data);
        break;
    default:
        break;
    }
}
