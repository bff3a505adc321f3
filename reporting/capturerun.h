#pragma once

#include "reporting/reportfiles.h"
#include "reporting/reportshots.h"

#include <QDateTime>
#include <QStringList>

class QWidget;
namespace Xlsx
{
class Document;
}

// One "Add to Report": the files of the ticked items, all stamped with the time it started.
namespace Report
{

class CaptureRun
{
public:
    // base: "reports/" + run folder; pair: the pair label.
    CaptureRun(const QString& base, const QDateTime& time, const QString& pair);

    QString date() const { return m_time.toString(QStringLiteral("dd/MM/yy hh:mm")); }
    QString pair() const { return m_pair; }
    QString pathOf(Item item, bool allPairs = false) const;

    // Each makes the mode folder when needed and writes one file; a file that could not be written
    // is remembered by its path. A missing source widget writes nothing.
    bool shot(Item item, QWidget* source, const ShotLayout& layout);
    bool book(Item item, const Xlsx::Document& document, bool allPairs = false);

    const QStringList& failedImages() const { return m_failedImages; }
    const QStringList& failedBooks() const { return m_failedBooks; }

private:
    QString prepare(Item item, bool allPairs) const;

    QString m_base;
    QDateTime m_time;
    QString m_pair;
    QStringList m_failedImages;
    QStringList m_failedBooks;
};

} // namespace Report
