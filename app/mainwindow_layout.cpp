// Resizing: the side panel, the report widgets and the NLJD and REFL tabs are placed by hand.
#include "mainwindow.h"

#include "app/windowgeometry.h"
#include "ui_mainwindow.h"

#include <QDebug>
#include <QResizeEvent>
#include <QTimer>

void MainWindow::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    qDebug() << "Размер:" << e->size();
    m_resizeTimer->stop();
    if (e->size() != contentSize()) {
        m_contentWidth = e->size().width();
        m_contentHeight = e->size().height();
        m_resizeTimer->start(250);
    }
}

void MainWindow::resizeSLOT(QSize size)
{
    if (size == contentSize())
        return;
    m_contentWidth = size.width();
    m_contentHeight = size.height();
    resizeWIN();
}

void MainWindow::resizeSLOT()
{
    resizeWIN();
}

void MainWindow::resizeWIN()
{
    m_resizeTimer->stop();
    const Geometry::Main g = Geometry::mainLayout(m_contentWidth, m_contentHeight);

    // Inside the shell the window is a child placed at the origin; on its own it only takes the size.
    if (parentWidget())
        setGeometry(g.whole);
    else if (size() != g.whole.size())
        resize(g.whole.size());
    ui->centralWidget->setGeometry(g.whole);
    ui->listREP->setGeometry(g.pairPanel);
    ui->swTAB->setGeometry(g.pairPanel);
    ui->tabWidget->setGeometry(g.tabWidget);
    ui->cbLang->setGeometry(g.cbLang);
    ui->label_3->setGeometry(g.label3);
    ui->swSET->setGeometry(g.swSet);
    ui->scanAll->setGeometry(g.scanAll);
    ui->butClear->setGeometry(g.butClear);
    ui->addREP->setGeometry(g.addRep);
    ui->tableLFA->setGeometry(g.reportTable);
    ui->tableWRX->setGeometry(g.reportTable);
    ui->tableNLD->setGeometry(g.reportTable);
    ui->tableREF->setGeometry(g.reportTable);
    viewFile(0);
    ui->repWIND1->setGeometry(g.repWind[0]);
    ui->repWIND2->setGeometry(g.repWind[1]);
    ui->repWIND3->setGeometry(g.repWind[2]);
    ui->repWIND4->setGeometry(g.repWind[3]);
    placeCableSwitch(g.cableSwitch);

    placeModeTabs();
    refreshSizeDependentViews();
}

void MainWindow::placeModeTabs()
{
    const QRect tab = ui->tabWidget->geometry();
    const Geometry::ModeTabs m = Geometry::modeTabLayout(tab.width(), tab.height());
    ui->progrNLD->setGeometry(m.progress);
    ui->progrFDR->setGeometry(m.progress);
    ui->verticalLayoutWidget->setGeometry(m.nldDisplay);
    ui->label_9->setGeometry(m.label9);
    ui->label_10->setGeometry(m.label10);
    ui->label_8->setGeometry(m.label8);
    ui->ScaleWidget->setGeometry(m.scale);
    ui->slNLD->setGeometry(m.slider);
    ui->label_20->setGeometry(m.label20);
    ui->nldSave->setGeometry(m.nldSave);
    ui->nldComp->setGeometry(m.nldComp);
    ui->nldLoad->setGeometry(m.nldLoad);
    ui->nldINFO->setGeometry(m.nldInfo);
    ui->nldFILE->setGeometry(Geometry::nldFileRect(ui->nldSave->geometry()));
    ui->nldERR->setGeometry(m.nldErr);
    ui->refFILE->setGeometry(Geometry::refFileRect(tab.width(), ui->refSave->geometry()));

    ui->verticalLayout_3->setAlignment(Qt::AlignHCenter);
    ui->horizontalLayout_3->setAlignment(Qt::AlignHCenter);
    ui->verticalLayout_4->setAlignment(Qt::AlignHCenter);

    const QRect set = ui->refSET1->geometry();
    const Geometry::DefectTable d = Geometry::defectTableLayout(set.width(), set.height());
    for (QTableWidget* t : {ui->refTAB1, ui->refTAB2}) {
        t->setGeometry(d.table);
        for (int r = 0; r < t->rowCount(); ++r)
            t->setRowHeight(r, r == 0 ? d.firstRowHeight : d.rowHeight);
        t->setColumnWidth(0, d.col0);
        t->setColumnWidth(1, d.col1);
        t->setColumnWidth(2, d.col2);
    }

    const Geometry::Legend l = Geometry::legendLayout(ui->refGRAF->width());
    ui->label_26->setGeometry(l.swatch1);
    ui->label_25->setGeometry(l.text1);
    ui->label_23->setGeometry(l.swatch2);
    ui->label_24->setGeometry(l.text2);
}

void MainWindow::refreshSizeDependentViews()
{
    // The comparisons do nothing unless they are on and their tab is shown.
    if (m_currentPair != 0) {
        compareNLD(m_currentPair);
        compareREF(m_currentPair);
    }
    // The WRx signal table is redrawn here by the WRx mode.
    refreshPairTable();
    compareNLD(0);
    compareREF(0);
}
