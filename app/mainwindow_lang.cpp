// Language switching: one translator, reloaded for every switch, and the texts built at run time.
#include "mainwindow.h"

#include "app/translations.h"
#include "modes/lfa/osc.h"
#include "modes/wrx/rx.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace
{
// The run folder list is built once, with the word of its file counts in the language of the moment.
void relabelRunFolders(QTreeWidget* tree, const QString& filesWord)
{
    static const QRegularExpression upToCount(QStringLiteral("^(.*\\(\\d+)"));
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        const QRegularExpressionMatch m = upToCount.match(item->text(0));
        if (m.hasMatch())
            item->setText(0, m.captured(1) + filesWord);
    }
}
} // namespace

void MainWindow::changeLang(int id)
{
    const QString file = Translations::fileFor(id);
    if (!file.isEmpty()) {
        // Installed once, not stacked: a load replaces what the translator held, and a file that
        // is missing leaves it empty, so the built-in English texts show.
        QCoreApplication::removeTranslator(&m_translator);
        Translations::load(m_translator, file, Translations::searchDirs());
        QCoreApplication::installTranslator(&m_translator);
        // Qt's own buttons and dialogs follow, where Qt's translation is installed; English needs none.
        QCoreApplication::removeTranslator(&m_qtTranslator);
        const QString qt = Translations::qtFileFor(id);
        if (!qt.isEmpty() && Translations::load(m_qtTranslator, qt, Translations::qtSearchDirs()))
            QCoreApplication::installTranslator(&m_qtTranslator);
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
    relabelRunFolders(ui->listREP, tr(" files)"));
    viewFile(0);
}
