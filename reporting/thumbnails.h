#pragma once

#include <QDateTime>
#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>

class QFileInfo;

namespace Report
{

// The pictures of one report page, kept from one refresh to the next. A page is refreshed on every
// capture, delete, tab change, resize and language change; without this each refresh decoded every
// picture of the folder again. A picture is made anew when its file's size or time or the wanted
// size changed; what a refresh does not show any more is dropped at its end.
class Thumbnails
{
public:
    void begin();
    // The picture at `path` scaled to `size` on a screen of that pixel ratio; null when it cannot be read.
    QPixmap get(const QFileInfo& file, const QString& path, const QSize& size, qreal ratio);
    void end();

    int size() const { return int(m_shown.size()); }
    int decoded() const { return m_decoded; } // pictures read from disk so far

private:
    struct Entry {
        qint64 bytes = -1;
        QDateTime modified;
        QSize size;
        qreal ratio = 1;
        QPixmap picture;
    };
    QHash<QString, Entry> m_shown;    // this refresh
    QHash<QString, Entry> m_previous; // the one before, until this one ends
    int m_decoded = 0;
};

} // namespace Report
