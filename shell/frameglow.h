#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// The soft glow around the window frame. It is rendered once per frame size and colour and then only
// copied, so repaints of the window's content never blur anything again.
class FrameGlow
{
public:
    static constexpr int BlurRadius = 9;
    static constexpr qreal CornerRadius = 5;

    // An invalid colour turns the glow off.
    void setColour(const QColor& colour) { m_colour = colour; }
    QColor colour() const { return m_colour; }
    bool isOn() const { return m_colour.isValid(); }

    // Paints the glow around frame, limited to dirty; the frame's inside is left to the frame.
    void paint(QPainter& painter, const QRect& frame, const QRect& dirty);
    // How often the glow was rendered from scratch.
    int renders() const { return m_renders; }

private:
    QImage render(const QSize& frame) const;

    QColor m_colour;
    QImage m_image;
    QSize m_imageFrame;
    QColor m_imageColour;
    int m_renders = 0;
};
