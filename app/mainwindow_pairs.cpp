// Pair selection, the pair scan, the pair table and the cable switch panel.
#include "mainwindow.h"

#include "app/prompts.h"
#include "link/dispatchroute.h"
#include "modes/lfa/osc.h"
#include "modes/nljd/nld.h"
#include "modes/wrx/rx.h"
#include "pairs/pairenable.h"
#include "pairs/pairrow.h"
#include "pairs/pairstore.h"
#include "pairs/pairtable.h"
#include "pairs/setsw.h"
#include "pairs/stepsearch.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QTimer>
#include <algorithm>

namespace
{
// swClick's column for a step of the scan, as opposed to a click or a programmatic selection.
constexpr int ScanStepColumn = 10;
constexpr int ScanIntervalMs = 4500;
constexpr quint8 ScanActivity = 11;

QTableWidgetSelectionRange rowRange(int row)
{
    return QTableWidgetSelectionRange(row, 0, row, PairTable::Columns - 1);
}
} // namespace

PairStore& MainWindow::pairStore()
{
    return *m_pairs;
}

void MainWindow::setUpPairTable()
{
    m_cableSwitch = new setSW(this);
    m_cableSwitch->hide();

    PairTable::setUp(*ui->swTAB);
    m_pairs = std::make_unique<PairStore>();
    m_pairs->fillWires();
    std::fill(std::begin(m_nljdFileMarkers), std::end(m_nljdFileMarkers), NljdAbsent);
    std::fill(std::begin(m_reflFileMarkers), std::end(m_reflFileMarkers), ReflAbsent);
    for (int row = 1; row <= PairCount; ++row)
        ui->swTAB->setCellWidget(row, 3, new NLD(ui->swTAB, quint8(row)));
    refreshPairTable();

    connect(m_cableSwitch, &setSW::changeSW, this, [this] { refreshPairTable(); });
    connect(ui->swTAB, SIGNAL(cellPressed(int, int)), this, SLOT(swClick(int, int)));
    connect(ui->swSET, &QPushButton::toggled, this, [this](bool on) {
        m_cableSwitch->setVisible(on);
        if (on)
            m_cableSwitch->raise();
    });
    // The button's state decides what the scan does, not the toggle's argument.
    connect(ui->scanAll, &QPushButton::toggled, this, [this] { scanAll(false); });
    connect(ui->butClear, &QPushButton::clicked, this, [this] { clearAll(); });
    m_scanTimer = new QTimer(this);
    m_scanTimer->setInterval(ScanIntervalMs);
    connect(m_scanTimer, SIGNAL(timeout()), this, SLOT(scanAll()));
    // The receiver's nextPARA() reaches scanAll(true) once the WRx set-up connects it.
}

void MainWindow::placeCableSwitch(const QRect& r)
{
    if (m_cableSwitch)
        m_cableSwitch->setGeometry(r);
}

PairEnableInputs MainWindow::enableInputs() const
{
    PairEnableInputs in;
    in.wireMask = m_cableSwitch->wireMask();
    in.shield = m_cableSwitch->shield();
    in.shownTab = ui->tabWidget->currentIndex();
    in.wrxMains = m_wrxMains;
    in.nljdCompare = m_nljdCompare;
    in.reflCompare = m_reflCompare;
    in.nljdFileMarkers = m_nljdFileMarkers;
    in.reflFileMarkers = m_reflFileMarkers;
    return in;
}

bool MainWindow::pairEnabled(int pair) const
{
    // Row 0 and below stand for no pair, whose wires (0, 0) every cable allows.
    const PairRecord& none = (*m_pairs)[0];
    return ::pairEnabled(enableInputs(), std::max(pair, 0), none.wireA, none.wireB);
}

void MainWindow::showPairRow(int pair)
{
    PairRowContext ctx;
    ctx.enabled = pairEnabled(pair);
    ctx.cableType = m_cableSwitch->cableType();
    ctx.shownTab = ui->tabWidget->currentIndex();
    // The oscilloscope's flag belongs to the pair it measures now.
    ctx.overVoltage = pair == m_currentPair && m_osc->overVoltage();
    renderPairRow(*ui->swTAB, pair, (*m_pairs)[pair], ctx);
}

void MainWindow::swClick(int row, int col)
{
    if (!pairEnabled(row) && row != m_selectedRow)
        return;
    if (col != ScanStepColumn) {
        ui->scanAll->setChecked(false);
        ui->refTEST->setChecked(false);
    }
    if (m_selectedRow != -1)
        ui->swTAB->setRangeSelected(rowRange(m_selectedRow), false);

    // A scan that comes round to the selected pair keeps it; a click on it lets it go.
    const bool clickedAgain = row == m_selectedRow && col != ScanStepColumn;
    if (clickedAgain || row < 1) {
        m_selectedRow = -1;
        m_currentPair = 0;
        ui->nldERR->clear();
        ui->refERR->clear();
        ui->nldLEVsr->hide();
    } else {
        ui->swTAB->setRangeSelected(rowRange(row), true);
        m_selectedRow = row;
        m_currentPair = quint8(row);
    }

    const PairRecord& r = (*m_pairs)[m_currentPair];
    writeData(QByteArray("I\x01", 2) + char(r.wireA) + char(r.wireB));
    emit sigKOMM();
    pairFollowUp();
}

void MainWindow::pairFollowUp()
{
    const int tab = ui->tabWidget->currentIndex();
    if (tab == Tab::Nljd)
        nljdPairChanged();
    else if (tab == Tab::Wrx && m_wrxScan)
        wrxSearchEvent(0);
}

void MainWindow::scanAll(bool act)
{
    const bool checked = ui->scanAll->isChecked();
    if (checked && m_scanning) {
        // These modes move on when they report the pair done, not on the timer.
        const int tab = ui->tabWidget->currentIndex();
        if (!act && (tab == Tab::Refl || tab == Tab::Wrx))
            return;
        scanStep();
    } else if (checked) {
        startScan();
    } else {
        stopScan();
    }
}

void MainWindow::scanAll()
{
    scanAll(false);
}

bool MainWindow::scanStep()
{
    const ScanStep s = stepSearch(m_currentPair, m_stepCount, [this](int p) { return pairEnabled(p); });
    m_stepCount = s.stepCount;
    m_scanLeftPair = m_currentPair;
    swClick(s.candidate, ScanStepColumn);
    if (s.ends)
        ui->scanAll->setChecked(false);
    return s.ends;
}

void MainWindow::startScan()
{
    ui->swSET->setEnabled(false);
    ui->tabWidget->setEnabled(false);
    ui->addREP->setEnabled(false);
    ui->butClear->setEnabled(false);
    m_stepCount = 0;
    m_scanning = true;
    if (m_currentPair == 0 && scanStep()) {
        // Nothing enabled: the step has already stopped the scan.
        ui->scanAll->setChecked(false);
        return;
    }
    m_scanTimer->start(ScanIntervalMs);
    m_activity = ScanActivity;
    m_wrxScan = true;

    const int tab = ui->tabWidget->currentIndex();
    if (tab == Tab::Refl)
        writeData(QByteArray("F\x04", 2));
    else if (tab == Tab::Wrx)
        wrxSearchEvent(0);
}

void MainWindow::stopScan()
{
    const bool comparing = m_nljdCompare || m_reflCompare;
    ui->swSET->setEnabled(!comparing);
    ui->tabWidget->setEnabled(true);
    ui->addREP->setEnabled(true);
    ui->butClear->setEnabled(!comparing);
    m_stepCount = 0;
    m_scanning = false;
    m_scanLeftPair = -1;
    m_scanTimer->stop();
    m_activity = 0;
    m_wrxScan = false;
    if (ui->tabWidget->currentIndex() == Tab::Wrx)
        wrxSearchEvent(5);
}

void MainWindow::setFind(quint16 nom)
{
    if (nom > PairCount)
        return;
    if (nom != 0) {
        showPairRow(nom);
        return;
    }
    for (int p = 1; p <= PairCount; ++p)
        showPairRow(p);
}

void MainWindow::clearAll()
{
    if (!m_prompts->askYesNo(tr("Attention!"), "<b>" + tr("Do you really want to clear ALL data?") + "</b>"))
        return;
    m_pairs->clearMeasurements();
    m_refSet1Shown = false;
    m_refSet2Shown = false;
    m_refResetRequest = true;
    clearModeViews();
    refreshPairTable();
}

void MainWindow::refreshPairTable()
{
    const int tab = ui->tabWidget->currentIndex();
    const int mode = tab == Tab::Report ? m_currentMode : tab;
    qDebug() << "pair table mode" << mode;

    // A running scan keeps the panel's buttons shut until it stops.
    if (m_nljdCompare || m_reflCompare) {
        ui->swSET->setEnabled(false);
        ui->butClear->setEnabled(false);
    } else if (!m_scanning) {
        ui->swSET->setEnabled(true);
        ui->butClear->setEnabled(true);
    }
    if (!pairEnabled(m_currentPair))
        swClick(m_currentPair, 1);
    if (tab >= Tab::Lfa && tab <= Tab::Refl)
        ui->scanAll->setEnabled(true);

    const PairTable::Geometry g = PairTable::geometryOf(*ui->swTAB);
    for (int p = 1; p <= PairCount; ++p) {
        PairTable::layOutRow(*ui->swTAB, p, g);
        if (auto* indicator = qobject_cast<NLD*>(ui->swTAB->cellWidget(p, 3))) {
            if (mode == Tab::Refl)
                indicator->setReflMode(true);
            else if (mode == Tab::Nljd)
                indicator->setReflMode(false);
        }
        showPairRow(p);
    }
    PairTable::setModeColumns(*ui->swTAB, mode, g);

    if (mode == Tab::Wrx && m_wrxMains) {
        ui->swSET->setEnabled(false);
        ui->scanAll->setEnabled(false);
    }
}

// --- Hooks the modes fill ---

void MainWindow::wrxSearchEvent(quint8 event)
{
    m_rx->searchStep(event);
}

void MainWindow::clearModeViews()
{
    // In this order: the receiver drops its signal data and rebuilds its table, the REFL display and
    // defect tables are redrawn, and createDIR starts a new run folder.
    m_rx->clearSignals();
    reflRedraw(0);
    reflPlot(-1);
    createDIR();
}
