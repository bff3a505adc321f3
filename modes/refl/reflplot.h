#pragma once

class QwtPlot;
class QwtPlotCurve;
class MyPlotPicker;

namespace Refl
{

struct Axis;

// Dark canvas, dotted grid, auto replot, the first scales, the tracking picker (metres, dB) and the
// two curves: Set 1 / current in green, Set 2 / file in red.
MyPlotPicker* setUpPlot(QwtPlot& plot, QwtPlotCurve& curve1, QwtPlotCurve& curve2);
// Distance axis for the factor in use; the level axis 0..60 dB.
void applyAxes(QwtPlot& plot, const Axis& axis);

} // namespace Refl
