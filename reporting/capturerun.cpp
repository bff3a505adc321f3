#include "capturerun.h"

#include "reporting/xlsx/xlsxdocument.h"

#include <QDir>
#include <QWidget>

namespace Report
{

CaptureRun::CaptureRun(const QString& base, const QDateTime& time, const QString& pair)
    : m_base(base), m_time(time), m_pair(pair)
{
}

QString CaptureRun::pathOf(Item item, bool allPairs) const
{
    return m_base + itemFile(item, m_pair, m_time.toString(QStringLiteral("hhmmss")), allPairs);
}

QString CaptureRun::prepare(Item item, bool allPairs) const
{
    // A failure here shows as a failed write of the file itself.
    QDir(m_base).mkpath(modeFolder(itemMode(item)));
    return pathOf(item, allPairs);
}

bool CaptureRun::shot(Item item, QWidget* source, const ShotLayout& layout)
{
    if (!source)
        return false;
    const QString path = prepare(item, false);
    if (saveImage(composeShot(*source, layout), path))
        return true;
    m_failedImages.append(path);
    return false;
}

bool CaptureRun::book(Item item, const Xlsx::Document& document, bool allPairs)
{
    const QString path = prepare(item, allPairs);
    if (document.saveAs(path))
        return true;
    m_failedBooks.append(path);
    return false;
}

} // namespace Report
