// Save and load flows shared by the data files of the modes: the dialogs, QSaveFile and the error
// boxes.
#include "mainwindow.h"

#include "app/prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool MainWindow::saveDataFile(const QString& filter, const std::function<QByteArray()>& encode)
{
    const QString name = m_prompts->saveFileName(tr("Save File"), QString(), filter);
    if (name.isEmpty())
        return false;
    const QByteArray bytes = encode();
    // Written aside and renamed at the end, so a failure never leaves a damaged file behind.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        m_prompts->critical(tr("Error"), tr("Could not open file"));
        return false;
    }
    // A short write only shows in flush(): commit() alone would still rename the cut file into place.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        file.cancelWriting();
        m_prompts->critical(tr("Error"), tr("Could not save file"));
        return false;
    }
    return true;
}

bool MainWindow::openDataFile(const QString& filter, QFile& file)
{
    const QString name = m_prompts->openFileName(tr("Open File"), QString(), filter);
    if (name.isEmpty())
        return false;
    file.setFileName(name);
    // Only plain files: a fifo would block the open, a device would never end.
    if (!QFileInfo(name).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_prompts->critical(tr("Error"), tr("Could not open file"));
        return false;
    }
    return true;
}
