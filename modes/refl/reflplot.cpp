#include "reflplot.h"

#include "modes/lfa/myplotpicker.h"
#include "modes/lfa/plotstyle.h"
#include "modes/refl/reflplotdata.h"

#include <QPen>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>

namespace Refl
{

namespace
{
void styleCurve(QwtPlotCurve& c, Qt::GlobalColor colour, QwtPlot& plot)
{
    c.setPen(QPen(QColor(colour), 2.0, Qt::SolidLine));
    c.setRenderHint(QwtPlotItem::RenderAntialiased);
    c.attach(&plot);
}
} // namespace

MyPlotPicker* setUpPlot(QwtPlot& plot, QwtPlotCurve& curve1, QwtPlotCurve& curve2)
{
    PlotStyle::styleCanvas(plot);
    auto* grid = new QwtPlotGrid;
    grid->setMajorPen(QPen(Qt::darkGray, 1, Qt::DotLine));
    grid->attach(&plot);
    plot.setAutoReplot(true);
    plot.setAxisScale(QwtPlot::yLeft, 0, 250, 50);
    plot.setAxisScale(QwtPlot::xBottom, 0, 200, 20);

    MyPlotPicker* picker = PlotStyle::addPicker(&plot, QwtPicker::CrossRubberBand);
    picker->setTextFormat(1, 1, QStringLiteral("m"));
    picker->setTextFormat(2, 0, QStringLiteral("dB"));

    styleCurve(curve1, Qt::green, plot);
    styleCurve(curve2, Qt::red, plot);
    // Set 1 is active at start, so its trace lies on top.
    curve1.setZ(1);
    curve2.setZ(0);
    return picker;
}

void applyAxes(QwtPlot& plot, const Axis& axis)
{
    plot.setAxisScale(QwtPlot::xBottom, 0, axis.end, axis.step);
    plot.setAxisScale(QwtPlot::yLeft, 0, 60, 12);
}

} // namespace Refl
