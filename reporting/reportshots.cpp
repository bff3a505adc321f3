#include "reportshots.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QSaveFile>
#include <QWidget>

namespace Report
{

namespace
{
// The context the translation tools file this namespace's texts under.
QString tr(const char* text)
{
    return QCoreApplication::translate("Report", text);
}

// The plots' pictures: the grab 10 px down, captions on one line 15 px above the lower edge.
ShotLayout plotShot(int dateX, const QString& date)
{
    ShotLayout s;
    s.extraWidth = 10;
    s.extraHeight = 50;
    s.at = QPoint(0, 10);
    s.captions.append({dateX, 15, date});
    return s;
}
} // namespace

ShotLayout lfaOscShot(const QString& date, const QString& pair, const QString& timeDiv, const QString& vDiv,
                      const QString& gain, const QString& bias)
{
    ShotLayout s = plotShot(50, date);
    s.captions.append({180, 15, tr("Pair: ") + pair});
    s.captions.append({270, 15, tr("Time/div: ") + timeDiv});
    s.captions.append({400, 15, tr("V/div: ") + vDiv});
    s.captions.append({510, 15, tr("Gain: ") + gain});
    s.captions.append({610, 15, tr("Bias: ") + bias});
    return s;
}

ShotLayout lfaSpecShot(const QString& date, const QString& pair, const QString& gain, const QString& bias)
{
    ShotLayout s = plotShot(50, date);
    s.captions.append({180, 15, tr("Pair: ") + pair});
    s.captions.append({270, 15, tr("Gain: ") + gain});
    s.captions.append({380, 15, tr("Bias: ") + bias});
    return s;
}

ShotLayout switchShot(const QString& date)
{
    ShotLayout s;
    s.extraHeight = 40;
    s.captions.append({10, 15, date});
    return s;
}

ShotLayout reflGraphShot(const QString& date, const QString& pair, const QString& factor)
{
    ShotLayout s = plotShot(20, date);
    s.at = QPoint(5, 5);
    s.captions.append({150, 15, tr("Pair: ") + pair});
    s.captions.append({240, 15, tr("Factor: ") + factor});
    return s;
}

ShotLayout reflSwitchShot(const QString& date, const QString& factor)
{
    ShotLayout s;
    s.extraHeight = 50;
    s.captions.append({10, 30, date});
    s.captions.append({10, 12, tr("Factor: ") + factor});
    return s;
}

ShotLayout wrxSpecShot(const QString& date, const QString& pair, const QString& range, const QString& gain,
                       const QString& step, bool diff)
{
    ShotLayout s = plotShot(20, date);
    s.captions.append({150, 15, tr("Pair: ") + pair});
    s.captions.append({240, 15, tr("Range: ") + range});
    s.captions.append({400, 15, tr("Gain: ") + gain});
    s.captions.append({500, 15, tr("Step: ") + step});
    s.captions.append({620, 15, diff ? tr("Diff: on") : tr("Diff: off")});
    return s;
}

ShotLayout wrxOscShot(const QString& date, const QString& pair, const QString& freq, const QString& gain,
                      const QString& step, const QString& demod, const QString& timeBase)
{
    ShotLayout s = plotShot(20, date);
    s.captions.append({150, 15, tr("Pair: ") + pair});
    s.captions.append({230, 15, tr("Freq: ") + freq});
    s.captions.append({380, 15, tr("Gain: ") + gain});
    s.captions.append({470, 15, tr("Step: ") + step});
    s.captions.append({600, 15, demod});
    s.captions.append({650, 15, timeBase + tr("/div")});
    return s;
}

ShotLayout nljdShot(const QString& date, const QString& pair, double level)
{
    ShotLayout s;
    s.extraWidth = 10;
    s.extraHeight = 80;
    s.at = QPoint(5, 5);
    s.captions.append({10, 30, date});
    s.captions.append({10, 12, tr("Pair: ") + pair});
    s.captions.append({90, 12, tr("Level: ") + QString::number(int(level)) + "%"});
    return s;
}

QImage composeShot(const QPixmap& grab, const ShotLayout& layout)
{
    const QSize grabSize = grab.size() / grab.devicePixelRatio();
    QImage canvas(grabSize.width() + layout.extraWidth, grabSize.height() + layout.extraHeight,
                  QImage::Format_RGB32);
    canvas.fill(QColor(53, 53, 53));
    QPainter p(&canvas);
    p.drawPixmap(layout.at, grab);
    p.setPen(QPen(QColor(255, 255, 255), 1, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    QFont font = p.font();
    font.setPixelSize(14);
    font.setWeight(50);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int h = canvas.height();
    int lineY = -1;
    int lineEnd = 0;
    for (const Caption& c : layout.captions) {
        const int y = h - c.fromBottom;
        int x = c.x;
        if (y == lineY)
            x = qMax(x, lineEnd + 8);
        p.drawText(x, y, c.text);
        lineY = y;
        lineEnd = x + metrics.horizontalAdvance(c.text);
    }
    return canvas;
}

QImage composeShot(QWidget& source, const ShotLayout& layout)
{
    return composeShot(source.grab(), layout);
}

bool saveImage(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, QFileInfo(path).suffix().toLatin1().constData())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace Report
