#include "bandfillcurve.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{
bool ascending(const QPolygonF& p)
{
    return std::is_sorted(p.cbegin(), p.cend(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
}
} // namespace

void BandFillCurve::fillCurve(QPainter* painter, const QwtScaleMap& xMap, const QwtScaleMap& yMap,
                              const QRectF& canvasRect, QPolygonF& polyline) const
{
    const QTransform t = painter->deviceTransform();
    const bool banded = polyline.size() > 2 && painter->paintEngine() &&
                        painter->paintEngine()->type() == QPaintEngine::Raster &&
                        painter->testRenderHint(QPainter::Antialiasing) && t.type() <= QTransform::TxScale &&
                        t.m11() > 0 && orientation() == Qt::Vertical && ascending(polyline) &&
                        polyline.last().x() > polyline.first().x();
    if (!banded) {
        QwtPlotCurve::fillCurve(painter, xMap, yMap, canvasRect, polyline);
        return;
    }
    // Band edges on whole device pixels: device x = m11 * x + dx.
    const auto edgeAt = [&t](long k) { return (double(k) * BandPixels - t.dx()) / t.m11(); };
    long k = long(std::floor((t.m11() * polyline.first().x() + t.dx()) / BandPixels)) + 1;
    const int n = polyline.size();
    int i = 0;
    QPolygonF band;
    band << polyline[0];
    for (double edge = edgeAt(k); edge < polyline.last().x(); edge = edgeAt(++k)) {
        if (edge <= polyline[0].x())
            continue;
        while (polyline[i + 1].x() <= edge)
            band << polyline[++i];
        // polyline[i].x() <= edge < polyline[i + 1].x()
        const QPointF a = polyline[i], b = polyline[i + 1];
        const QPointF cut(edge, a.y() + (b.y() - a.y()) * (edge - a.x()) / (b.x() - a.x()));
        band << cut;
        QwtPlotCurve::fillCurve(painter, xMap, yMap, canvasRect, band);
        band.clear();
        band << cut;
    }
    while (i + 1 < n)
        band << polyline[++i];
    QwtPlotCurve::fillCurve(painter, xMap, yMap, canvasRect, band);
}
