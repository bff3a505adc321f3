#include "myplotpicker.h"

#include <qwt_text.h>

namespace
{
QString formatted(double v, int decimals, const QString& unit)
{
    static const char* const formats[] = {"%.0f", "%.1f", "%.2f", "%.3f"};
    if (decimals < 0 || decimals > 3)
        return unit;
    return QString::asprintf(formats[decimals], v) + unit;
}
} // namespace

MyPlotPicker::MyPlotPicker(int xAxis, int yAxis, RubberBand rubberBand, DisplayMode trackerMode,
                           QWidget* canvas)
    : QwtPlotPicker(xAxis, yAxis, rubberBand, trackerMode, canvas)
{
}

QwtText MyPlotPicker::trackerTextF(const QPointF& pos) const
{
    const QString x = formatted(pos.x(), m_xDecimals, m_xUnit);
    const QString y = formatted(pos.y(), m_yDecimals, m_yUnit);
    switch (rubberBand()) {
    case HLineRubberBand:
        return QwtText(y, QwtText::PlainText);
    case VLineRubberBand:
        return QwtText(x, QwtText::PlainText);
    default:
        return QwtText(x + ", " + y, QwtText::PlainText);
    }
}

void MyPlotPicker::setTextFormat(int nom, int cnt, QString st)
{
    if (nom == 1) {
        m_xDecimals = cnt;
        m_xUnit = st;
    } else {
        m_yDecimals = cnt;
        m_yUnit = st;
    }
}
