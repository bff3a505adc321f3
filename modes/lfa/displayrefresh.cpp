#include "displayrefresh.h"

#include <QEvent>
#include <QWidget>
#include <qwt_plot.h>

DisplayRefresh::DisplayRefresh(QWidget* view, std::function<void()> redraw, int intervalMs)
    : QObject(view), m_view(view), m_redraw(std::move(redraw))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { redrawIfShown(); });
    view->installEventFilter(this);
}

DisplayRefresh::DisplayRefresh(QwtPlot* plot, int intervalMs)
    : DisplayRefresh(plot, [plot] { plot->replot(); }, intervalMs)
{
    // Changes of curves, labels and scales wait for the next interval instead of replotting at once.
    plot->setAutoReplot(false);
}

void DisplayRefresh::request()
{
    m_pending = true;
    if (m_view->isVisible() && !m_timer.isActive())
        m_timer.start();
}

void DisplayRefresh::flush()
{
    m_timer.stop();
    redrawIfShown();
}

void DisplayRefresh::redrawIfShown()
{
    if (!m_pending || !m_view->isVisible())
        return;
    m_pending = false;
    m_redraw();
}

bool DisplayRefresh::eventFilter(QObject* watched, QEvent* event)
{
    // What changed while hidden joins the paint that showing brings anyway.
    if (watched == m_view && event->type() == QEvent::Show)
        flush();
    return false;
}
