// REFL mode: reflectogram and defect tables, the factor, .refl files and their comparison.
#include "mainwindow.h"

#include "app/prompts.h"
#include "app/savepanel.h"
#include "app/verdicttext.h"
#include "link/dispatchroute.h"
#include "modes/nljd/nld.h"
#include "modes/refl/reflindicators.h"
#include "modes/refl/reflmodestate.h"
#include "modes/refl/reflplot.h"
#include "modes/refl/refltable.h"
#include "pairs/pairenable.h"
#include "pairs/pairstore.h"
#include "ui_mainwindow.h"
#include "shell/restyle.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <algorithm>
#include <qwt_plot_curve.h>

namespace
{
const char* const ActiveBox = "font: bold; color: white;";
const char* const InactiveBox = "color:gray;";
const char* const CompareOnSheet = "color: rgb(255,85,85);";
const char* const CompareOffSheet = "color: rgb(140,210,255);";
const QColor White(0xFFFFFF);
const QColor Alarm(255, 85, 85);
const QByteArray StartMeasurement("F\x04", 2);

void setIndicator(QTableWidget* pairTable, int pair, float distance, quint8 state)
{
    if (auto* w = qobject_cast<NLD*>(pairTable->cellWidget(pair, 3)))
        w->setReflState(distance, state);
}
} // namespace

const ReflModeState& MainWindow::reflState() const
{
    return *m_refl;
}

void MainWindow::setUpRefl()
{
    m_refl = std::make_unique<ReflModeState>();
    Refl::setUpPlot(*ui->refGRAF, *m_refCurve1, *m_refCurve2);
    Refl::setUpDefectTable(*ui->refTAB1);
    Refl::setUpDefectTable(*ui->refTAB2);
    reflSetBoxStyles();

    connect(ui->refTAB1, &QTableWidget::cellPressed, this, [this] { reflSelectSet(0); });
    connect(ui->refTAB2, &QTableWidget::cellPressed, this, [this] { reflSelectSet(1); });
    connect(ui->refTEST, &QPushButton::toggled, this, [this](bool on) { reflTest(on); });
    connect(ui->refRIGHT, &QPushButton::clicked, this, [this] { reflApplyFactor(); });
    connect(ui->refComp, &QPushButton::toggled, this, [this](bool on) { reflCompareSwitch(on); });
    SavePanel::wire({ui->refSave, ui->refFILE, ui->refTXT, ui->refCancel});
    connect(ui->refSave2, SIGNAL(clicked()), this, SLOT(saveREF()));
    connect(ui->refLoad, SIGNAL(clicked()), this, SLOT(loadREF()));
    connect(this, &MainWindow::sigKOMM, this, [this] { reflPairSwitched(); });
}

QTableWidget* MainWindow::reflTable(int set) const
{
    return set == 0 ? ui->refTAB1 : ui->refTAB2;
}

bool& MainWindow::reflShown(int set)
{
    return set == 0 ? m_refSet1Shown : m_refSet2Shown;
}

// --- Measurements ---

void MainWindow::reflStatus(const QByteArray& data)
{
    float factor = 0;
    if (!Refl::statusFactor(data, &factor))
        return;
    qDebug() << "REFL factor" << factor;
    const bool changed = factor != m_refl->reflFactor;
    m_refl->reflFactor = factor;
    // The analyser repeats its factor with every status; a value being typed survives the repeats.
    if (changed || !ui->refFAC->isModified())
        ui->refFAC->setText(Refl::factorText(factor));
}

void MainWindow::reflData(const QByteArray& data)
{
    switch (Refl::takeMessage(data, (*m_pairs)[m_currentPair])) {
    case Refl::TEffect::Ignored:
        return;
    case Refl::TEffect::Measuring:
        m_measuring = true;
        reflShowMeasuring();
        return;
    case Refl::TEffect::Chunk:
        m_measuring = false;
        return;
    case Refl::TEffect::Result:
        m_measuring = false;
        reflRedraw(0);
        reflPlot(0);
        compareREF(m_currentPair);
        break;
    case Refl::TEffect::Other:
        m_measuring = false;
        break;
    }
    if (m_scanning) {
        scanAll(true);
        // The step may have been the last one.
        if (m_scanning)
            writeData(StartMeasurement);
    }
}

void MainWindow::reflShowMeasuring()
{
    QTableWidget* t = m_refl->activeSet == 0 || m_reflCompare ? ui->refTAB1 : ui->refTAB2;
    t->item(Refl::MessageRow, 0)->setText(tr("Measuring..."));
    setIndicator(ui->swTAB, m_currentPair, 0.0f, NLD::Measuring);
}

void MainWindow::reflTest(bool on)
{
    if (m_currentPair == 0) {
        ui->scanAll->setChecked(false);
        m_measuring = false;
        ui->refTEST->setChecked(false);
        return;
    }
    if (on) {
        writeData(StartMeasurement);
        return;
    }
    ui->scanAll->setChecked(false);
    m_measuring = false;
    const PairRecord& r = (*m_pairs)[m_currentPair];
    writeData(QByteArray("I\x01", 2) + char(r.wireA) + char(r.wireB));
    reflRedraw(0);
}

void MainWindow::reflPairSwitched()
{
    if (ui->tabWidget->currentIndex() != Tab::Refl)
        return;
    reflRedraw(1);
    reflRedraw(2);
    reflPlot(0);
    // With no pair selected this compares every pair again.
    compareREF(m_currentPair);
}

void MainWindow::reflLinkLost()
{
    // Nothing will report the measurement or the scan step done any more.
    ui->scanAll->setChecked(false);
    if (m_measuring || ui->refTEST->isChecked()) {
        m_measuring = false;
        // The indicators and tables show the data again; this also releases the Test button.
        reflRedraw(0);
    }
}

// --- Views ---

void MainWindow::reflRedraw(int part)
{
    if (m_refResetRequest) {
        m_refResetRequest = false;
        m_refSet1Shown = m_refSet2Shown = false;
        Refl::resetSets(m_refl->sets, m_refl->activeSet, m_currentPair, (*m_pairs)[m_currentPair]);
    }
    if (part == 0 || part == 3)
        reflShowIndicators();
    if (part == 0 || part == 1)
        reflShowTable(0);
    if (part == 0 || part == 2)
        reflShowTable(1);
    if (part <= 2)
        ui->refTEST->setChecked(false);
}

void MainWindow::reflShowIndicators()
{
    const auto states = Refl::indicatorStates(*m_pairs);
    for (int p = 1; p <= PairCount; ++p)
        setIndicator(ui->swTAB, p, states[p].distance, states[p].state);
}

void MainWindow::reflShowTable(int set)
{
    const PairRecord& current = (*m_pairs)[m_currentPair];
    QGroupBox* box = set == 0 ? ui->refSET1 : ui->refSET2;
    Refl::DefectView view;
    if (m_reflCompare) {
        const QString label = Refl::pairLabel(m_currentPair, current);
        view.hasPair = m_currentPair != 0;
        if (set == 0) {
            box->setTitle(Refl::currentTitle(label));
            view.status = Refl::shownStatus(current);
            view.defectDistance = &current.refl.defectDistance;
            view.defectLevel = &current.refl.defectLevel;
        } else {
            const Refl::ReflFileData& f = m_refl->file;
            box->setTitle(Refl::fileTitle(label));
            view.status = f.fileStatus[m_currentPair];
            view.defectDistance = &f.fileDefectDistance[m_currentPair];
            view.defectLevel = &f.fileDefectLevel[m_currentPair];
        }
    } else {
        Refl::ReflSet& s = m_refl->sets[set];
        if (set == m_refl->activeSet) {
            Refl::takeSnapshot(s, m_currentPair, current);
            reflShown(set) = true;
        }
        box->setTitle(Refl::setTitle(set, s.label));
        view.hasPair = s.pair != 0;
        view.status = s.status;
        view.defectDistance = &s.defectDistance;
        view.defectLevel = &s.defectLevel;
    }
    Refl::showDefects(*reflTable(set), view);
}

void MainWindow::reflPlot(int arg)
{
    ReflModeState& st = *m_refl;
    if (arg == -1)
        for (Refl::ReflSet& s : st.sets)
            s.trace.fill(0);
    const PairRecord& current = (*m_pairs)[m_currentPair];
    st.sets[st.activeSet].trace = current.refl.trace;

    const Refl::Axis axis = Refl::axisFor(st.reflFactor);
    Refl::applyAxes(*ui->refGRAF, axis);
    const Refl::Trace* trace1 = nullptr;
    const Refl::Trace* trace2 = nullptr;
    if (m_reflCompare) {
        trace1 = &current.refl.trace;
        if (m_currentPair != 0 && st.file.fileStatus[m_currentPair] <= Refl::LastListStatus)
            trace2 = &st.file.fileTrace[m_currentPair];
    } else {
        trace1 = m_refSet1Shown ? &st.sets[0].trace : nullptr;
        trace2 = m_refSet2Shown ? &st.sets[1].trace : nullptr;
    }
    Refl::fillCurves(axis.range, trace1, trace2, st.x, st.y1, st.y2);
    m_refCurve1->setRawSamples(st.x.data(), st.y1.data(), ReflSamples);
    m_refCurve2->setRawSamples(st.x.data(), st.y2.data(), ReflSamples);
}

void MainWindow::reflSelectSet(int set)
{
    if (set == m_refl->activeSet || m_reflCompare || m_measuring)
        return;
    m_refl->activeSet = set;
    reflSetBoxStyles();
    m_refCurve1->setZ(1 - set);
    m_refCurve2->setZ(set);
    reflRedraw(3);
}

void MainWindow::reflSetBoxStyles()
{
    const bool first = m_refl->activeSet == 0;
    restyle(ui->refSET1, first ? ActiveBox : InactiveBox);
    restyle(ui->refSET2, first ? InactiveBox : ActiveBox);
}

// --- Factor ---

void MainWindow::reflApplyFactor()
{
    ReflModeState& st = *m_refl;
    const float wanted = Refl::fieldFactor(ui->refFAC->text());
    if (!Refl::changesFactor(wanted, st.appliedFactor))
        return;
    if (m_prompts->askYesNo(tr("Attention!"), "<b>" + tr("Do you really want to change Factor?") + "<br>" +
                                                  tr("All reflectometer measurements will be reset!") +
                                                  "</b>")) {
        writeData(Refl::factorCommand(wanted));
        for (int p = 1; p <= PairCount; ++p)
            (*m_pairs)[p].dataFlags &= quint8(~DataFlag::reflValid);
        st.reflFactor = wanted;
        ui->refComp->setChecked(false);
        st.fileLoaded = false;
        std::fill(std::begin(m_reflFileMarkers), std::end(m_reflFileMarkers), ReflAbsent);
        ui->refINFO->setPlainText(tr("Current file:"));
        reflRedraw(0);
        reflPlot(0);
    }
    ui->refFAC->setText(Refl::factorText(st.reflFactor));
    st.appliedFactor = st.reflFactor;
}

// --- Files ---

void MainWindow::saveREF()
{
    const auto bytes = [this] { return Refl::encodeFile(m_refl->reflFactor, *m_pairs, ui->refTXT->text()); };
    if (saveDataFile(tr("KV847 REFL data (*.refl)"), bytes))
        SavePanel::close({ui->refSave, ui->refFILE, ui->refTXT, ui->refCancel});
}

void MainWindow::loadREF()
{
    QFile file;
    if (!openDataFile(tr("KV847 REFL data (*.refl)"), file))
        return;
    ReflModeState& st = *m_refl;
    QString comment;
    switch (Refl::readFile(file, st.reflFactor, st.file, &comment)) {
    case Refl::LoadResult::NotReflFile:
        m_prompts->critical(tr("Error"), tr("This is not a REFL data file for KV847!"));
        return;
    case Refl::LoadResult::FactorMismatch:
        m_prompts->critical(tr("Error"), Refl::factorMismatchText(st.reflFactor, st.file.fileFactor));
        return;
    case Refl::LoadResult::Loaded:
        break;
    }
    ui->refINFO->setPlainText(tr("Current file: ") + QFileInfo(file.fileName()).fileName() + "\n" + comment);
    st.fileLoaded = true;
    std::copy(st.file.fileStatus.begin() + 1, st.file.fileStatus.end(), m_reflFileMarkers + 1);
}

// --- Comparison ---

void MainWindow::reflCompareSwitch(bool on)
{
    m_reflCompare = on;
    if (on && !m_refl->fileLoaded)
        loadREF();
    if (m_reflCompare && m_refl->fileLoaded) {
        ui->refFAC->setEnabled(false);
        ui->refRIGHT->setEnabled(false);
        restyle(ui->refComp, CompareOnSheet);
        reflShowLegends();
        restyle(ui->refSET2, InactiveBox);
        restyle(ui->refSET1, ActiveBox);
        reflCompareViews();
        return;
    }
    m_reflCompare = false;
    {
        // This is already the switch turning off.
        const QSignalBlocker quiet(ui->refComp);
        ui->refComp->setChecked(false);
    }
    ui->refFAC->setEnabled(true);
    ui->refRIGHT->setEnabled(true);
    restyle(ui->refComp, CompareOffSheet);
    reflShowLegends();
    reflSetBoxStyles();
    ui->refERR->clear();
    reflRedraw(1);
    reflRedraw(2);
    reflPlot(0);
    refreshPairTable();
}

void MainWindow::reflShowLegends()
{
    ui->label_25->setText(m_reflCompare ? tr("Current") : tr("Set 1"));
    ui->label_24->setText(m_reflCompare ? tr("File") : tr("Set 2"));
}

void MainWindow::reflRetranslated()
{
    reflShowLegends();
    ui->refFAC->setText(Refl::factorText(m_refl->reflFactor));
    {
        // Relabelling does not end a measurement under way: its button and notice stay.
        const QSignalBlocker quiet(ui->refTEST);
        const bool testing = ui->refTEST->isChecked();
        reflRedraw(0);
        ui->refTEST->setChecked(testing);
    }
    if (m_measuring)
        reflShowMeasuring();
    if (m_currentPair != 0)
        compareREF(m_currentPair);
}

void MainWindow::reflCompareViews()
{
    reflRedraw(1);
    reflRedraw(2);
    reflPlot(0);
    refreshPairTable();
    compareREF(0);
}

void MainWindow::compareREF(uchar nom)
{
    if (!m_reflCompare || ui->tabWidget->currentIndex() != Tab::Refl || nom > PairCount)
        return;
    if (nom != 0) {
        reflCompareOne(nom);
        return;
    }
    for (int p = 1; p <= PairCount; ++p)
        reflCompareOne(p);
}

void MainWindow::reflCompareOne(int pair)
{
    ReflModeState& st = *m_refl;
    const Refl::ReflFileData& f = st.file;
    const Refl::FilePair file{f.fileStatus[pair], f.fileDefectDistance[pair], f.fileDefectLevel[pair],
                              f.fileTrace[pair]};
    Refl::DefectMarks& marks = st.marks[pair];
    const PairRecord& current = (*m_pairs)[pair];
    const Refl::StatusDecision d = Refl::comparePair(current, file, st.reflFactor, marks);
    if (d.kind != Refl::StatusDecision::Decided) {
        st.compareResult[pair] = Refl::Agree;
        return;
    }
    st.compareResult[pair] = d.verdict;
    showVerdictColour(*ui->swTAB->item(pair, 0), d.verdict != Refl::Agree ? Alarm : White);
    if (pair != m_currentPair)
        return;
    showVerdictText(*ui->refERR, Refl::verdictText(d.verdict));
    if (d.verdict == Refl::ListsDiffer)
        Refl::markDifferences(*ui->refTAB1, current.refl.status, *ui->refTAB2, file.status, marks);
}
