#pragma once

#include "modes/lfa/lfascale.h"

#include <QColor>
#include <QSize>
#include <qwt_picker.h>
#include <qwt_text.h>

class MyPlotPicker;
class QFont;
class QwtPlot;
class QwtPlotCurve;
class QWidget;
class QwtPlotTextLabel;

// The look the LFA and WRx plots share: dark canvas, dotted grid, titles drawn on the canvas, the
// tracking picker, and the oscilloscope time base.
namespace PlotStyle
{

extern const char* const CanvasSheet;
// Text colours of the controls: accent for normal, alarm for a warning.
extern const char* const AccentSheet;
extern const char* const AlarmSheet;
extern const char* const CaptionSheet;
const QColor Accent(140, 210, 255);
const QColor CaptionBlue(65, 160, 255);

// The dark canvas: its style sheet, painted straight into the window.
void styleCanvas(QwtPlot& plot);
// Expanding, dark canvas, the left axis at least leftExtent wide, dotted grid.
QwtPlot* makePlot(QWidget* parent, QSize minimum, QSize maximum, int leftExtent);
// Qt green, 2 pixels, antialiased.
QwtPlotCurve* addTraceCurve(QwtPlot* plot);
// Filled solid down to the baseline, no outline, antialiased.
QwtPlotCurve* addFilledCurve(QwtPlot* plot, const QColor& colour, double baseline);

// Text in the widget font's family, 10 points, weight 63.
QwtText canvasText(const QString& text, const QColor& colour, int renderFlags, const QFont& widgetFont);
// A plot title: white, centred at the top.
QwtText titleText(const QString& text, const QFont& widgetFont);
// A text label on the canvas with margin 3.
QwtPlotTextLabel* addTextLabel(QwtPlot* plot, const QwtText& text);

// Picker on the bottom and left axes: drag-point machine, tracker always on, accent pens, Arial 12 bold.
MyPlotPicker* addPicker(QwtPlot* plot, QwtPicker::RubberBand rubberBand);

// Bottom axis 0..9.6 divisions, the sample times in x (one per sample of a frame) and the tracker's x format.
void applyTimeScale(const Lfa::TimeScale& t, QwtPlot* plot, MyPlotPicker* picker, double* x);

} // namespace PlotStyle
