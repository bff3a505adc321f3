// LFA mode: the oscilloscope and spectrum widget, its data frames and commands.
#include "mainwindow.h"

#include "link/dispatchroute.h"
#include "modes/lfa/lfamessages.h"
#include "modes/lfa/osc.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "ui_mainwindow.h"

void MainWindow::setUpLfa()
{
    m_osc = new OSC(ui->tab_7);
    ui->layLFA->addWidget(m_osc);
    const auto sendOn = [this](Lfa::Control which) {
        return [this, which](uchar val) { writeData(Lfa::command(which, val)); };
    };
    connect(m_osc, &OSC::changeX, this, sendOn(Lfa::Control::Time));
    connect(m_osc, &OSC::changeY, this, sendOn(Lfa::Control::Vdiv));
    connect(m_osc, &OSC::changeKU, this, sendOn(Lfa::Control::Gain));
    connect(m_osc, &OSC::changeBias, this, sendOn(Lfa::Control::Bias));
    connect(this, SIGNAL(sigOVER(bool)), m_osc, SLOT(slotOVER(bool)));
}

void MainWindow::lfaStatus(const QByteArray& data)
{
    m_osc->oscSET(data);
}

void MainWindow::lfaData(const QByteArray& data)
{
    m_osc->oscDATA(data);
}

void MainWindow::lfaPairValues(const QByteArray& data)
{
    const Lfa::OscFrame f = Lfa::decodeOscFrame(data);
    (*m_pairs)[m_currentPair].acVoltage = float(Lfa::vppVolts(f.vpp, f.vppUnit));
    showPairRow(m_currentPair);
}

void MainWindow::lfaSpectrum(const QByteArray& data)
{
    m_osc->specDATA(data);
}

void MainWindow::lfaVoltages(const QByteArray& data)
{
    const Lfa::LineVoltages v = Lfa::decodeLineVoltages(data);
    const quint8 pair = v.wireA != 0 && v.wireB != 0 ? pairNumberOf(v.wireA, v.wireB) : 0;
    if (pair == 0 || pair != m_currentPair)
        return;
    PairRecord& r = (*m_pairs)[pair];
    r.dcVoltage = float(v.dcTenths / 10.0);
    r.acVoltage = float(v.acHundredths / 100.0);
    r.statusA = v.statusA;
    emit sigOVER(v.overVoltage);
    r.statusB = v.statusB;
    r.statusC = v.statusC;
    if (ui->tabWidget->currentIndex() == Tab::Lfa)
        r.dataFlags |= DataFlag::lfaValid;
    showPairRow(pair);
}
