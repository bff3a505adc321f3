// Reports: the run folders, the report browser on the Report tab and "Add to report".
#include "mainwindow.h"

#include "app/prompts.h"
#include "link/dispatchroute.h"
#include "modes/lfa/osc.h"
#include "modes/nljd/nld.h"
#include "modes/wrx/rx.h"
#include "modes/refl/reflmodestate.h"
#include "pairs/pairstore.h"
#include "reporting/capturerun.h"
#include "reporting/inreptab.h"
#include "reporting/receiverview.h"
#include "reporting/reportfiles.h"
#include "reporting/workbooks.h"
#include "shell/sharedicon.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTreeWidget>

namespace
{
const char* const ReportRoot = "reports";
const QColor Accent(140, 210, 255);
} // namespace

void MainWindow::setUpReports()
{
    createDIR();
    ui->listREP->hide();
    QFrame* panels[] = {ui->repWIND1, ui->repWIND2, ui->repWIND3, ui->repWIND4};
    for (QFrame* p : panels)
        p->hide();

    QPushButton* adds[] = {ui->addREP1, ui->addREP2, ui->addREP3, ui->addREP4};
    QPushButton* cancels[] = {ui->cancREP1, ui->cancREP2, ui->cancREP3, ui->cancREP4};
    for (int i = 0; i < 4; ++i) {
        connect(adds[i], &QPushButton::clicked, this, [this] {
            ui->addREP->setChecked(false);
            ScreenShot();
        });
        connect(cancels[i], &QPushButton::clicked, this, [this] { ui->addREP->setChecked(false); });
    }
    connect(ui->addREP, &QPushButton::toggled, this, [this](bool on) {
        QFrame* panels[] = {ui->repWIND1, ui->repWIND2, ui->repWIND3, ui->repWIND4};
        for (QFrame* p : panels)
            p->hide();
        // A refused comparison file turns the comparison off without a signal; follow the button.
        ui->cbREP47->setEnabled(ui->refComp->isChecked());
        const int tab = ui->tabWidget->currentIndex();
        if (on && tab >= Tab::Lfa && tab <= Tab::Refl)
            panels[tab]->show();
    });
    connect(ui->cbREP24, &QCheckBox::toggled, ui->cbREP26, &QCheckBox::setEnabled);
    connect(ui->cbREP43, &QCheckBox::toggled, ui->cbREP44, &QCheckBox::setEnabled);
    connect(ui->refComp, &QPushButton::toggled, ui->cbREP47, &QCheckBox::setEnabled);

    for (int mode = 1; mode <= Report::Modes; ++mode) {
        QTableWidget* t = reportTable(mode);
        connect(t, &QTableWidget::cellClicked, this, [this, t](int row, int col) { repClick(row, col, t); });
        connect(t, &QTableWidget::cellDoubleClicked, this,
                [this, t](int row, int col) { repDblClick(row, col, t); });
    }
    ui->cbREP47->setEnabled(false);
    connect(ui->listREP, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), this,
            SLOT(dirDblClick(QTreeWidgetItem*, int)));
}

QTableWidget* MainWindow::reportTable(int mode) const
{
    switch (mode) {
    case 1:
        return ui->tableLFA;
    case 2:
        return ui->tableWRX;
    case 3:
        return ui->tableNLD;
    default:
        return ui->tableREF;
    }
}

// --- Folders and the browser ---

void MainWindow::createDIR()
{
    const QString name = Report::startRunFolder(ReportRoot, QDateTime::currentDateTime());
    m_runFolder = name;
    m_viewedFolder = name;

    disconnect(ui->listREP, SIGNAL(currentItemChanged(QTreeWidgetItem*, QTreeWidgetItem*)), nullptr, nullptr);
    ui->listREP->clear();
    const QString filesWord = tr(" files)");
    for (const Report::RunFolder& f : Report::runFolders(ReportRoot)) {
        auto* item = new QTreeWidgetItem(ui->listREP);
        item->setText(0, Report::runFolderText(f, filesWord));
        QFont font = item->font(0);
        font.setPointSize(10);
        item->setFont(0, font);
        item->setData(0, Qt::UserRole, f.name);
    }
    if (QTreeWidgetItem* first = ui->listREP->topLevelItem(0)) {
        ui->listREP->setCurrentItem(first);
        first->setForeground(0, Accent);
    }
    ui->listREP->headerItem()->setForeground(0, Accent);
    connect(ui->listREP, SIGNAL(currentItemChanged(QTreeWidgetItem*, QTreeWidgetItem*)), this,
            SLOT(dirClick(QTreeWidgetItem*)));
    viewFile(0);
}

// What a report page shows, as one string to compare.
static QString pageContents(const QString& folder, const Report::Grid& grid, qreal scale, const QFileInfoList& files)
{
    QString s = folder + '|' + QString::number(grid.columns) + '|' + QString::number(grid.cell) + '|' +
                QString::number(scale);
    for (const QFileInfo& file : files)
        s += '|' + file.fileName() + ':' + QString::number(file.size()) + ':' +
             QString::number(file.lastModified().toMSecsSinceEpoch());
    return s;
}

void MainWindow::viewFile(int nom)
{
    static const char* const titles[] = {QT_TR_NOOP("LFA data"), QT_TR_NOOP("WRx data"),
                                         QT_TR_NOOP("NLJD data"), QT_TR_NOOP("REFL data")};
    for (int mode = 1; mode <= Report::Modes; ++mode) {
        if (nom > 0 && nom != mode)
            continue;
        const QFileInfoList files = Report::modeFiles(ReportRoot, m_viewedFolder, mode);
        QTableWidget* t = reportTable(mode);
        ui->REPORT->setItemText(mode - 1,
                                tr(titles[mode - 1]) + " (" + QString::number(files.size()) + tr(" files)"));
        const Report::Grid grid = Report::tileGrid(t->width());
        const qreal scale = t->devicePixelRatioF(); // tiles are drawn in the screen's own pixels
        // A page is refreshed on every tab change and resize too: made anew only when what it shows
        // changed, which also keeps the selected tile.
        const QString shown = pageContents(m_viewedFolder, grid, scale, files);
        if (shown == m_pageShown[mode - 1])
            continue;
        m_pageShown[mode - 1] = shown;
        // Each tile goes through removeCellWidget: dropping the rows alone leaves its address in the
        // view's set of persistent editors, which then grows with every refresh.
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                if (t->cellWidget(r, c))
                    t->removeCellWidget(r, c);
        t->setRowCount(0);
        Report::Thumbnails& thumbs = m_thumbs[mode - 1];
        thumbs.begin();
        if (files.isEmpty()) {
            thumbs.end();
            continue;
        }

        for (int c = 0; c < t->columnCount(); ++c)
            t->setColumnWidth(c, c < grid.columns ? grid.cell : 0);
        const QString folder =
            QString(ReportRoot) + "/" + m_viewedFolder + "/" + Report::modeFolder(mode) + "/";
        const QSize thumb(grid.cell - 20, grid.cell - 20);
        QPixmap excel = sharedIcon(":/img/excel.png")
                            .pixmap(thumb) // the larger drawing when scaled
                            .scaled(thumb * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        excel.setDevicePixelRatio(scale);
        int column = grid.columns;
        int row = -1;
        for (const QFileInfo& file : files) {
            const QString path = folder + file.fileName();
            QPixmap picture;
            if (file.suffix() == "xlsx")
                picture = excel;
            else if (file.suffix() == "png")
                picture = thumbs.get(file, path, thumb, scale);
            else
                continue;
            if (column == grid.columns) {
                t->insertRow(t->rowCount());
                row = t->rowCount() - 1;
                t->setRowHeight(row, grid.cell + 40);
                column = 0;
            }
            auto* item = new QTableWidgetItem();
            item->setTextAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            t->setItem(row, column, item);
            auto* tile = new InRepTab(mode, picture, path, file.fileName(),
                                      Report::createdTime(file).toString("dd/MM/yy hh:mm:ss"), grid.cell);
            t->setCellWidget(row, column, tile);
            connect(tile, &InRepTab::repDelSig, this, &MainWindow::delClick);
            ++column;
        }
        thumbs.end();
    }
}

void MainWindow::dirClick(QTreeWidgetItem* item)
{
    if (!item)
        return;
    m_viewedFolder = item->data(0, Qt::UserRole).toString();
    viewFile(0);
}

void MainWindow::dirDblClick(QTreeWidgetItem* item, int)
{
    if (!item)
        return;
    const QString name = item->data(0, Qt::UserRole).toString();
    qDebug() << name;
    m_prompts->openUrl(QUrl::fromLocalFile(QString(ReportRoot) + "/" + name));
}

void MainWindow::repClick(int row, int col, QTableWidget* tek)
{
    for (int r = 0; r < tek->rowCount(); ++r)
        for (int c = 0; c < tek->columnCount(); ++c)
            if (tek->item(r, c))
                if (auto* tile = qobject_cast<InRepTab*>(tek->cellWidget(r, c)))
                    tile->setSelected(false);
    if (tek->item(row, col))
        if (auto* tile = qobject_cast<InRepTab*>(tek->cellWidget(row, col)))
            tile->setSelected(true);
}

void MainWindow::repDblClick(int row, int col, QTableWidget* tek)
{
    if (!tek->item(row, col))
        return;
    if (auto* tile = qobject_cast<InRepTab*>(tek->cellWidget(row, col)))
        m_prompts->openUrl(QUrl::fromLocalFile(tile->path()));
}

void MainWindow::delClick(int, QString path)
{
    if (!m_prompts->askYesNo(tr("Attention!"),
                             "<b>" + tr("Do you really want to delete this file?") + "</b>"))
        return;
    QFile::remove(path);
    viewFile(0);
}

// --- Capture ---

void MainWindow::ScreenShot()
{
    if (QTreeWidgetItem* first = ui->listREP->topLevelItem(0))
        ui->listREP->setCurrentItem(first);
    m_viewedFolder = m_runFolder;

    const int tab = ui->tabWidget->currentIndex();
    const PairRecord& pair = (*m_pairs)[m_currentPair];
    Report::CaptureRun run(QString(ReportRoot) + "/" + m_runFolder, QDateTime::currentDateTime(),
                           Report::pairLabel(pair.wireA, pair.wireB));
    switch (tab) {
    case Tab::Lfa:
        captureLfa(run);
        break;
    case Tab::Refl:
        captureRefl(run);
        break;
    case Tab::Wrx:
        captureWrx(run);
        break;
    case Tab::Nljd:
        captureNljd(run);
        break;
    default:
        break;
    }
    reportSaveErrors(run);
    viewFile(tab + 1);
}

void MainWindow::reportSaveErrors(const Report::CaptureRun& run)
{
    for (const QString& path : run.failedImages())
        m_prompts->warning(tr("Save Error"),
                           tr("The image could not be saved to \"%1\".").arg(QDir::toNativeSeparators(path)));
    for (const QString& path : run.failedBooks())
        m_prompts->warning(tr("Save Error"),
                           tr("The table could not be saved to \"%1\".").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::captureLfa(Report::CaptureRun& run)
{
    using Report::Item;
    const QString gain = m_osc->gainList()->currentText();
    const QString bias = m_osc->biasList()->currentText();
    if (ui->cbREP11->isChecked())
        run.shot(Item::LfaOsc, m_osc->oscPlot(),
                 Report::lfaOscShot(run.date(), run.pair(), m_osc->timeList()->currentText(),
                                    m_osc->vdivList()->currentText(), gain, bias));
    if (ui->cbREP12->isChecked())
        run.shot(Item::LfaSpec, m_osc->specPlot(), Report::lfaSpecShot(run.date(), run.pair(), gain, bias));
    if (ui->cbREP13->isChecked())
        run.shot(Item::LfaSwitchShot, ui->swTAB, Report::switchShot(run.date()));
    if (ui->cbREP14->isChecked())
        run.book(Item::LfaSwitchBook, Report::lfaSwitchBook(Report::switchRows(*ui->swTAB)));
}

void MainWindow::captureRefl(Report::CaptureRun& run)
{
    using Report::Item;
    const QString factor = ui->refFAC->text();
    if (ui->cbREP41->isChecked())
        run.shot(Item::ReflGraph, ui->refGRAF, Report::reflGraphShot(run.date(), run.pair(), factor));
    if (ui->cbREP42->isChecked())
        run.shot(Item::ReflSwitchShot, ui->swTAB, Report::reflSwitchShot(run.date(), factor));
    const Report::SwitchRows rows = Report::switchRows(*ui->swTAB);
    if (ui->cbREP43->isChecked()) {
        const bool all = ui->cbREP44->isChecked();
        run.book(Item::ReflDefectsBook,
                 Report::reflDefectsBook(rows, *m_pairs, Report::bookPairs(rows, all, m_currentPair),
                                         m_refl->reflFactor),
                 all);
    }
    if (ui->cbREP47->isEnabled() && ui->cbREP47->isChecked()) {
        const PairRecord& r = (*m_pairs)[m_currentPair];
        Report::ReflComparison c;
        c.pair = run.pair();
        c.factor = m_refl->reflFactor;
        c.message = ui->refERR->toPlainText();
        c.currentValid = r.dataFlags & DataFlag::reflValid;
        c.currentStatus = r.refl.status;
        c.fileStatus = m_refl->file.fileStatus[m_currentPair];
        c.current = Report::defectRows(*ui->refTAB1);
        c.file = Report::defectRows(*ui->refTAB2);
        run.book(Item::ReflCompareBook, Report::reflCompareBook(c));
    }
}

void MainWindow::captureNljd(Report::CaptureRun& run)
{
    using Report::Item;
    if (ui->cbREP31->isChecked())
        run.shot(Item::NljdHarmonics, m_nld, Report::nljdShot(run.date(), run.pair(), ui->slNLD->value()));
    if (ui->cbREP32->isChecked())
        run.shot(Item::NljdSwitchShot, ui->swTAB, Report::switchShot(run.date()));
}

void MainWindow::captureWrx(Report::CaptureRun& run)
{
    captureWrx(run, Report::receiverView(*m_rx));
}

void MainWindow::captureWrx(Report::CaptureRun& run, const Report::ReceiverView& rx)
{
    using Report::Item;
    if (ui->cbREP21->isChecked())
        run.shot(Item::WrxSpec, rx.spectrumPlot,
                 Report::wrxSpecShot(run.date(), run.pair(), rx.range, rx.gain, rx.step, rx.diff));
    if (ui->cbREP22->isChecked())
        run.shot(Item::WrxOsc, rx.oscPlot,
                 Report::wrxOscShot(run.date(), run.pair(), rx.freq, rx.gain, rx.step, rx.demod, rx.time));
    if (ui->cbREP23->isChecked())
        run.shot(Item::WrxSwitchShot, ui->swTAB, Report::switchShot(run.date()));
    const Report::SwitchRows rows = Report::switchRows(*ui->swTAB);
    if (ui->cbREP25->isChecked())
        run.book(Item::WrxSwitchBook, Report::wrxSwitchBook(rows));
    if (ui->cbREP24->isChecked()) {
        const bool all = ui->cbREP26->isChecked();
        run.book(Item::WrxSignalBook,
                 Report::wrxSignalBook(rows, *m_pairs, Report::bookPairs(rows, all, m_currentPair), rx.mark),
                 all);
    }
}
