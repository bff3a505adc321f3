#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// The soft glow around the window frame: the frame's outline, blurred and tinted. It is made once per
// frame look, size and colour and then only copied, so repaints of the window's content never blur
// anything again.
class FrameGlow
{
public:
    static constexpr int BlurRadius = 9;

    // An invalid colour turns the glow off.
    void setColour(const QColor& colour) { m_colour = colour; }
    QColor colour() const { return m_colour; }
    bool isOn() const { return m_colour.isValid(); }

    // Makes the glow from the frame as drawn in outline (its alpha is the shape that glows).
    void make(const QImage& outline);
    bool isMadeFor(const QSize& frame) const
    {
        return !m_image.isNull() && m_madeFrame == frame && m_madeColour == m_colour;
    }
    // Paints the glow around frame, limited to dirty.
    void paint(QPainter& painter, const QRect& frame, const QRect& dirty) const;
    int makes() const { return m_makes; }

private:
    QColor m_colour;
    QImage m_image;
    QSize m_madeFrame;
    QColor m_madeColour;
    int m_makes = 0;
};
