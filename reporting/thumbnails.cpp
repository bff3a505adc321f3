#include "thumbnails.h"

#include <QFileInfo>
#include <QImage>

namespace Report
{

void Thumbnails::begin()
{
    m_previous.swap(m_shown);
    m_shown.clear();
}

QPixmap Thumbnails::get(const QFileInfo& file, const QString& path, const QSize& size, qreal ratio)
{
    const auto was = m_previous.constFind(path);
    if (was != m_previous.constEnd() && was->bytes == file.size() && was->modified == file.lastModified() &&
        was->size == size && qFuzzyCompare(was->ratio, ratio)) {
        m_shown.insert(path, *was);
        return was->picture;
    }
    // Not through QPixmap's loader: that keeps every full-size picture in the process-wide pixmap
    // cache (up to 10 MB), when only the thumbnail is wanted.
    ++m_decoded;
    QImage image(path);
    Entry e{file.size(), file.lastModified(), size, ratio, QPixmap()};
    if (!image.isNull()) {
        e.picture = QPixmap::fromImage(image.scaled(size * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        e.picture.setDevicePixelRatio(ratio);
    }
    m_shown.insert(path, e);
    return e.picture;
}

void Thumbnails::end()
{
    m_previous.clear();
}

} // namespace Report
