// Language switching: one translator, reloaded for every switch, and the texts built at run time.
#include "mainwindow.h"

#include "app/translations.h"
#include "modes/lfa/osc.h"
#include "modes/wrx/rx.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>

void MainWindow::changeLang(int id)
{
    const QString file = Translations::fileFor(id);
    if (!file.isEmpty()) {
        // Installed once, not stacked: a load replaces what the translator held, and a file that
        // is missing leaves it empty, so the built-in English texts show.
        QCoreApplication::removeTranslator(&m_translator);
        Translations::load(m_translator, file, Translations::searchDirs());
        QCoreApplication::installTranslator(&m_translator);
    }
    // An empty translator brings no language-change event, so relabel here in any case.
    relabelAll();
}

LinkTitle MainWindow::titleForLinkState() const
{
    switch (linkState()) {
    case 0:
        return LinkTitle::NoConnection;
    case 1:
        return LinkTitle::Requesting;
    default:
        return LinkTitle::Connected;
    }
}

void MainWindow::relabelAll()
{
    ui->retranslateUi(this);
    // The form's texts are back to their defaults; put back what the program wrote into them.
    showFirmwareVersion();
    emitLinkTitle(titleForLinkState());
    ui->swTAB->item(0, 0)->setText(tr("PAIR"));
    refreshPairTable();
    reflRetranslated();
    if (m_currentPair != 0)
        compareNLD(m_currentPair); // its verdict line, when the comparison is on
    m_osc->langOSC();
    wrxLanguageChanged();    // RX::langRX()
    reportLanguageChanged(); // viewFile(0)
}

// --- Hooks the modes fill ---

void MainWindow::wrxLanguageChanged()
{
    m_rx->langRX();
}

void MainWindow::reportLanguageChanged()
{
    viewFile(0);
}
