#pragma once

#include <qwt_plot_picker.h>

// The picker of the LFA and WRx plots: the tracker shows the point with a number format and a unit
// per axis, set by the plot's owner as its scales change.
class MyPlotPicker : public QwtPlotPicker
{
    Q_OBJECT
public:
    MyPlotPicker(int xAxis, int yAxis, RubberBand rubberBand, DisplayMode trackerMode, QWidget* canvas);

    QwtText trackerTextF(const QPointF& pos) const override;

public slots:
    // nom 1 sets the x format, anything else the y format; cnt is the number of decimals (0..3).
    void setTextFormat(int nom, int cnt, QString st);

private:
    int m_xDecimals = 0;
    int m_yDecimals = 2;
    QString m_xUnit = QStringLiteral("mS");
    QString m_yUnit = QStringLiteral("V");
};
