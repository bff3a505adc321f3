#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QwtPlot;
class QWidget;

// Redraws a view at most once per display interval. Whoever changes the view's data applies it at
// once and calls request(); the costly redraw runs when the interval is over, so a burst of messages
// costs one redraw, and never while the view is hidden: a hidden view is redrawn when it is shown.
class DisplayRefresh : public QObject
{
public:
    static constexpr int IntervalMs = 40;
    // Filled, antialiased spectra cost several times a trace to draw; they keep a slower pace.
    static constexpr int SpectrumIntervalMs = 80;

    DisplayRefresh(QWidget* view, std::function<void()> redraw, int intervalMs = IntervalMs);
    // A plot: the redraw is its replot().
    explicit DisplayRefresh(QwtPlot* plot, int intervalMs = IntervalMs);

    void request();
    // Redraws now when a redraw is due (before the view is grabbed, for example).
    void flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void redrawIfShown();

    QWidget* m_view;
    std::function<void()> m_redraw;
    QTimer m_timer;
    bool m_pending = false;
};
