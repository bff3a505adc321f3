#include "shell/frameglow.h"

#include <QGraphicsBlurEffect>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QPixmap>

void FrameGlow::make(const QImage& outline)
{
    m_madeFrame = outline.size();
    m_madeColour = m_colour;
    ++m_makes;
    // The outline tinted in the glow colour, then blurred by the same filter a drop shadow uses.
    QImage tinted(outline.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(m_colour);
    {
        QPainter p(&tinted);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, outline);
    }
    QGraphicsScene scene;
    auto* item = scene.addPixmap(QPixmap::fromImage(tinted));
    auto* blur = new QGraphicsBlurEffect;
    // The blur effect widens its radius by 2.5 over a drop shadow of the same radius; undo that.
    blur->setBlurRadius(BlurRadius / 2.5);
    blur->setBlurHints(QGraphicsBlurEffect::PerformanceHint);
    item->setGraphicsEffect(blur);

    const QRectF area = QRectF(QPointF(0, 0), QSizeF(outline.size())).adjusted(-BlurRadius, -BlurRadius, BlurRadius, BlurRadius);
    m_image = QImage(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    QPainter p(&m_image);
    scene.render(&p, QRectF(QPointF(0, 0), area.size()), area);
}

void FrameGlow::paint(QPainter& painter, const QRect& frame, const QRect& dirty) const
{
    if (!isOn() || m_image.isNull())
        return;
    const QRect area = frame.adjusted(-BlurRadius, -BlurRadius, BlurRadius, BlurRadius);
    const QRect todo = dirty & area;
    if (!todo.isEmpty())
        painter.drawImage(todo, m_image, todo.translated(-area.topLeft()));
}
