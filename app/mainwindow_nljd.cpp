// NLJD mode: harmonics display, probing level, .nljd files and their comparison.
#include "mainwindow.h"

#include "app/prompts.h"
#include "app/savepanel.h"
#include "app/verdicttext.h"
#include "link/dispatchroute.h"
#include "modes/nljd/nld.h"
#include "modes/nljd/nldsource.h"
#include "modes/nljd/nljdcompare.h"
#include "modes/nljd/nljdfile.h"
#include "modes/nljd/nljdmessage.h"
#include "pairs/pairstore.h"
#include "ui_mainwindow.h"
#include "shell/restyle.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <qwt_scale_draw.h>
#include <qwt_scale_engine.h>
#include <qwt_slider.h>

namespace
{
const char* const ComparingStyle = "color: rgb(255,85,85);";
const char* const IdleStyle = "color: rgb(140,210,255);";
const QColor Differs(255, 85, 85);
const QColor Agrees(0xFFFFFF);
} // namespace

class MainWindow::NldFeed : public NldSource
{
public:
    explicit NldFeed(MainWindow& w) : NldSource(&w), m_w(w) {}

    const PairRecord& record(int pair) const override
    {
        static const PairRecord none;
        return m_w.m_pairs ? (*m_w.m_pairs)[pair] : none;
    }
    quint8 currentPair() const override { return m_w.m_currentPair; }
    bool fileMarks(int pair, quint8& harm2, quint8& harm3) const override
    {
        if (!m_w.m_nljdCompare || !m_w.m_nljdFileLoaded || pair < 1 || pair > PairCount)
            return false;
        const NljdFileData& f = *m_w.m_nljdFile;
        if (f.fileLevel[pair] > 249)
            return false;
        harm2 = f.fileHarm2[pair];
        harm3 = f.fileHarm3[pair];
        return true;
    }

private:
    MainWindow& m_w;
};

void MainWindow::setUpNljd()
{
    m_nljdFile = std::make_unique<NljdFileData>();
    m_nld = new NLD(ui->tab_4, NLD::LargeDisplay);
    m_nld->setSource(new NldFeed(*this));
    ui->layNLD->addWidget(m_nld);
    setUpNljdScale();
    ui->progrNLD->hide();
    ui->nldLEVsr->hide();

    connect(ui->slNLD, SIGNAL(valueChanged(double)), this, SLOT(nldLEV(double)));
    SavePanel::wire({ui->nldSave, ui->nldFILE, ui->nldTXT, ui->nldCancel});
    connect(ui->nldSave2, &QPushButton::clicked, this, [this] { saveNLD(); });
    connect(ui->nldLoad, &QPushButton::clicked, this, [this] { loadNLD(); });
    connect(ui->nldComp, &QPushButton::toggled, this, [this](bool on) { nljdCompareSwitch(on); });
}

void MainWindow::setUpNljdScale()
{
    // The harmonic levels' own scale, 0..250, beside the large display.
    QwtLinearScaleEngine engine;
    ui->ScaleWidget->setAlignment(QwtScaleDraw::LeftScale);
    ui->ScaleWidget->setScaleDiv(engine.divideScale(0, Nljd::MaxHarmonic, 5, 0, 50));
    ui->ScaleWidget->setBorderDist(5, 5);

    // The slider is only 61 pixels wide: shorter ticks leave room for the label "100".
    auto* levels = new QwtScaleDraw;
    levels->setTickLength(QwtScaleDiv::MajorTick, 4);
    ui->slNLD->setScaleDraw(levels);
    ui->slNLD->setSpacing(2);
}

void MainWindow::nljdData(const QByteArray& data)
{
    if (!Nljd::takeMessage((*m_pairs)[m_currentPair], data))
        return;
    m_nld->update();
    if (QWidget* indicator = ui->swTAB->cellWidget(m_currentPair, 3))
        indicator->update();
    if (m_nljdCompare)
        compareNLD(m_currentPair);
}

void MainWindow::nljdPairChanged()
{
    m_nld->update();
    if (m_nljdCompare)
        compareNLD(m_currentPair);
}

void MainWindow::nldLEV(double val)
{
    const quint8 level = Nljd::levelOfPercent(val);
    writeData(Nljd::levelCommand(level));
    (*m_pairs)[m_currentPair].nljd.level = level;
}

void MainWindow::saveNLD()
{
    const auto bytes = [this] { return NljdFile::encode(*m_pairs, ui->nldTXT->text()); };
    if (saveDataFile(tr("KV847 NLJD data (*.nljd)"), bytes))
        SavePanel::close({ui->nldSave, ui->nldFILE, ui->nldTXT, ui->nldCancel});
}

void MainWindow::loadNLD()
{
    QFile file;
    if (!openDataFile(tr("KV847 NLJD data (*.nljd)"), file))
        return;
    NljdFileData data;
    QString comment;
    if (NljdFile::read(file, data, comment) != NljdFile::ReadResult::Ok) {
        m_prompts->critical(tr("Error"), tr("This is not a NLJD data file for KV847!"));
        return;
    }
    *m_nljdFile = data;
    // The pair enable test keeps pairs that were excluded in the file out of the comparison.
    std::copy(data.fileLevel.begin(), data.fileLevel.end(), m_nljdFileMarkers);
    ui->nldINFO->setPlainText(tr("Current file: ") + QFileInfo(file.fileName()).fileName() + "\n" + comment);
    m_nljdFileLoaded = true;
}

// --- Comparison ---

void MainWindow::nljdCompareSwitch(bool on)
{
    // Off while the load dialog is open: readings that arrive meanwhile have no file to meet.
    m_nljdCompare = false;
    if (on && !m_nljdFileLoaded)
        loadNLD();
    m_nljdCompare = on && m_nljdFileLoaded;
    if (!m_nljdCompare) {
        {
            const QSignalBlocker quiet(ui->nldComp);
            ui->nldComp->setChecked(false);
        }
        restyle(ui->nldComp, IdleStyle);
        clearNljdVerdictText();
        refreshPairTable();
    } else {
        restyle(ui->nldComp, ComparingStyle);
        refreshPairTable();
        compareNLD(0);
    }
    // The file marks come and go with the comparison.
    m_nld->update();
}

void MainWindow::clearNljdVerdictText()
{
    showVerdictText(*ui->nldERR, QString());
    ui->nldLEVsr->hide();
}

void MainWindow::compareNLD(uchar nom)
{
    if (!m_nljdCompare || ui->tabWidget->currentIndex() != Tab::Nljd)
        return;
    if (nom != 0) {
        if (nom <= PairCount)
            compareNljdPair(nom);
        return;
    }
    for (int p = 1; p <= PairCount; ++p)
        compareNljdPair(p);
}

void MainWindow::compareNljdPair(int pair)
{
    const bool selected = pair == m_currentPair;
    m_nljdCompareResult[pair] = NljdCompare::Agree;

    const PairRecord& r = (*m_pairs)[pair];
    const NljdFileData& f = *m_nljdFile;
    NljdCompare::Inputs in;
    in.fileLevel = f.fileLevel[pair];
    in.fileHarm2 = f.fileHarm2[pair];
    in.fileHarm3 = f.fileHarm3[pair];
    in.current = r.dataFlags & DataFlag::nljdValid;
    in.level = r.nljd.level;
    in.harm2 = r.nljd.harm2;
    in.harm3 = r.nljd.harm3;
    const NljdCompare::Verdict v = NljdCompare::decide(in);
    if (!v.decided) {
        if (selected)
            clearNljdVerdictText();
        return;
    }

    m_nljdCompareResult[pair] = v.code;
    showVerdictColour(*ui->swTAB->item(pair, 0), v.code == NljdCompare::Agree ? Agrees : Differs);
    if (!selected)
        return;
    showVerdictText(*ui->nldERR, NljdCompare::text(v.code, in.fileLevel));
    if (v.code == NljdCompare::OtherLevel) {
        ui->nldLEVsr->setGeometry(NljdCompare::levelMarker(ui->slNLD->geometry(), in.fileLevel));
        ui->nldLEVsr->show();
    } else {
        ui->nldLEVsr->hide();
    }
}
