#include "shell/frameglow.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

QImage FrameGlow::render(const QSize& frame) const
{
    // The same shadow filter the widget effect used, run once on the frame's outline.
    QGraphicsScene scene;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(frame)), CornerRadius, CornerRadius);
    auto* item = scene.addPath(outline, Qt::NoPen, QColor(53, 53, 53));
    auto* shadow = new QGraphicsDropShadowEffect;
    shadow->setBlurRadius(BlurRadius);
    shadow->setColor(m_colour);
    shadow->setOffset(0, 0);
    item->setGraphicsEffect(shadow);

    const QRectF area = QRectF(QPointF(0, 0), QSizeF(frame)).adjusted(-BlurRadius, -BlurRadius, BlurRadius, BlurRadius);
    QImage image(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    scene.render(&p, QRectF(QPointF(0, 0), area.size()), area);
    return image;
}

void FrameGlow::paint(QPainter& painter, const QRect& frame, const QRect& dirty)
{
    if (!isOn() || frame.isEmpty())
        return;
    if (m_image.isNull() || m_imageFrame != frame.size() || m_imageColour != m_colour) {
        m_image = render(frame.size());
        m_imageFrame = frame.size();
        m_imageColour = m_colour;
        ++m_renders;
    }
    const QRect area = frame.adjusted(-BlurRadius, -BlurRadius, BlurRadius, BlurRadius);
    // Inside the rounded corners the frame paints every pixel itself.
    const int inset = int(CornerRadius) + 1;
    const QRegion todo = QRegion(dirty & area) - QRegion(frame.adjusted(inset, inset, -inset, -inset));
    for (const QRect& r : todo)
        painter.drawImage(r, m_image, r.translated(-area.topLeft()));
}
