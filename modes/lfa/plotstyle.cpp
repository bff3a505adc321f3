#include "plotstyle.h"

#include "modes/lfa/bandfillcurve.h"
#include "modes/lfa/myplotpicker.h"

#include <QFont>
#include <QPen>
#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_textlabel.h>
#include <qwt_scale_draw.h>

namespace PlotStyle
{

const char* const CanvasSheet = "background-color:rgb(20,20,20); border:1px solid rgb(30,30,30);";
const char* const AccentSheet = "color: rgb(140,210,255);";
const char* const AlarmSheet = "color: rgb(255,85,85);";
const char* const CaptionSheet = "font: bold; color: rgb(140,210,255);";

void styleCanvas(QwtPlot& plot)
{
    auto* canvas = static_cast<QwtPlotCanvas*>(plot.canvas());
    canvas->setStyleSheet(QString::fromLatin1(CanvasSheet));
    // Every paint of the plots brings new data; a cached canvas would only add a copy per paint.
    canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
    // An opaque styled canvas first fills a pixmap of its whole size with the parent's background
    // (the sheet's plain fill does not count as opaque to it), then paints its own background over
    // it: a needless picture of the canvas size on every paint. Qt paints the sheet's background.
    canvas->setPaintAttribute(QwtPlotCanvas::Opaque, false);
}

QwtPlot* makePlot(QWidget* parent, QSize minimum, QSize maximum, int leftExtent)
{
    auto* plot = new QwtPlot(parent);
    plot->setMinimumSize(minimum);
    plot->setMaximumSize(maximum);
    plot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    styleCanvas(*plot);
    plot->axisScaleDraw(QwtPlot::yLeft)->setMinimumExtent(leftExtent);
    auto* grid = new QwtPlotGrid;
    grid->setMajorPen(QPen(Qt::darkGray, 1, Qt::DotLine, Qt::SquareCap, Qt::BevelJoin));
    grid->attach(plot);
    return plot;
}

QwtPlotCurve* addTraceCurve(QwtPlot* plot)
{
    auto* c = new QwtPlotCurve;
    c->setPen(QPen(Qt::green, 2, Qt::SolidLine));
    c->setRenderHint(QwtPlotItem::RenderAntialiased);
    c->attach(plot);
    return c;
}

QwtPlotCurve* addFilledCurve(QwtPlot* plot, const QColor& colour, double baseline)
{
    auto* c = new BandFillCurve;
    c->setPen(QPen(Qt::NoPen));
    c->setBrush(QBrush(colour, Qt::SolidPattern));
    c->setBaseline(baseline);
    c->setRenderHint(QwtPlotItem::RenderAntialiased);
    c->attach(plot);
    return c;
}

QwtText canvasText(const QString& text, const QColor& colour, int renderFlags, const QFont& widgetFont)
{
    QwtText t(text, QwtText::PlainText);
    t.setColor(colour);
    t.setFont(QFont(widgetFont.family(), 10, 63));
    t.setRenderFlags(renderFlags);
    return t;
}

QwtText titleText(const QString& text, const QFont& widgetFont)
{
    return canvasText(text, Qt::white, Qt::AlignHCenter | Qt::AlignTop, widgetFont);
}

QwtPlotTextLabel* addTextLabel(QwtPlot* plot, const QwtText& text)
{
    auto* label = new QwtPlotTextLabel;
    label->setMargin(3);
    label->setText(text);
    label->attach(plot);
    return label;
}

MyPlotPicker* addPicker(QwtPlot* plot, QwtPicker::RubberBand rubberBand)
{
    auto* picker =
        new MyPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, rubberBand, QwtPicker::AlwaysOn, plot->canvas());
    picker->setStateMachine(new QwtPickerDragPointMachine);
    picker->setRubberBandPen(QPen(Accent));
    picker->setTrackerPen(QPen(Accent));
    picker->setTrackerFont(QFont("Arial", 12, QFont::Bold));
    return picker;
}

void applyTimeScale(const Lfa::TimeScale& t, QwtPlot* plot, MyPlotPicker* picker, double* x)
{
    picker->setTextFormat(1, t.decimals, t.unit);
    plot->setAxisScale(QwtPlot::xBottom, 0, t.axisEnd(), t.perDiv);
    // The scale is exact at once, whenever the plot is redrawn.
    plot->updateAxes();
    for (int i = 0; i < Lfa::SamplesPerFrame; ++i)
        x[i] = t.sampleTime(i);
}

} // namespace PlotStyle
