#pragma once

#include <qwt_plot_curve.h>

// A filled curve that hands the antialiased rasteriser its area in narrow vertical bands. The
// rasteriser keeps a sorted list of edge cells per scan line, so one polygon with hundreds of spikes
// costs the square of its crossings per line; bands a few spikes wide cost little. The bands meet on
// whole device pixels, where antialiasing leaves no seam, so the picture is the one of a single fill.
class BandFillCurve : public QwtPlotCurve
{
public:
    static constexpr int BandPixels = 32;

protected:
    void fillCurve(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap, const QRectF& canvasRect,
                   QPolygonF& polyline) const override;
};
