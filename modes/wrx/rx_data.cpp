// Spectrum blocks, level frames and the level bar of the WRx widget.
#include "rx.h"

#include "modes/lfa/displayrefresh.h"
#include "pairs/pairstore.h"

#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

void RX::specDATA(const QByteArray& data)
{
    const Wrx::Traces::Block b = m_traces.takeSpectrum(data, m_diff, m_gain, m_marker, m_step);
    if (b == Wrx::Traces::Block::Stale)
        return;
    if (b == Wrx::Traces::Block::TakenWithLevel)
        updateBar();
    m_specCurve->setRawSamples(m_traces.freq(), m_traces.spectrum(), m_traces.shownPoints());
    m_peakCurve->setRawSamples(m_traces.freq(), m_traces.peak(), m_traces.shownPoints());
    m_specRefresh->request();
    searchStep(Wrx::SearchScan::Spectrum);
}

void RX::levelDATA(const QByteArray& data)
{
    const PairRecord* r = record();
    if (m_search->isChecked() && (!r || r->signalCount == 0))
        return;
    m_traces.takeLevelFrame(data);
    m_oscCurve->setRawSamples(m_oscX.data(), m_traces.oscY(), Wrx::OscSamples);
    m_oscRefresh->request();
    updateBar();
}

void RX::clearRX()
{
    m_traces.clear();
    m_specCurve->setRawSamples(m_traces.freq(), m_traces.spectrum(), m_traces.shownPoints());
    m_peakCurve->setRawSamples(m_traces.freq(), m_traces.peak(), m_traces.shownPoints());
    m_oscCurve->setRawSamples(m_oscX.data(), m_traces.oscY(), Wrx::OscSamples);
    m_specRefresh->request();
    m_oscRefresh->request();
    updateBar();
}

void RX::updateBar()
{
    if (m_barRefresh)
        m_barRefresh->request();
}

void RX::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect bar = m_bar->geometry();
    if (!m_search->isChecked())
        bar.setHeight(bar.height() - 27);
    if (bar.height() > 4 && bar.width() > 4) {
        p.setPen(QPen(Qt::darkGray, 1, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
        p.drawRect(bar.adjusted(0, 0, -1, -1));
        const int g = bar.height() - 3;
        auto pixels = [g](double db) { return std::clamp(int(g * db / Wrx::FullScaleDb), 0, g); };
        const int peakPx = pixels(m_traces.peakLevel());
        const int levelPx = pixels(m_traces.level());
        const int left = bar.left() + 2, width = bar.width() - 4;
        const int bottom = bar.top() + 1 + g; // one past the last usable row
        const QColor peakColour = !m_fix   ? QColor(120, 120, 120)
                                  : m_diff ? QColor(Qt::darkYellow)
                                           : QColor(Qt::darkRed);
        const QColor levelColour = !m_fix   ? QColor(250, 250, 250)
                                   : m_diff ? QColor(Qt::magenta)
                                            : QColor(Qt::green);
        p.fillRect(left, bottom - g, width, g - peakPx, QColor(20, 20, 20));
        p.fillRect(left, bottom - peakPx, width, peakPx, peakColour);
        p.fillRect(left, bottom - levelPx, width, levelPx, levelColour);
    }

    // The overlay follows the oscilloscope when it moves or changes width.
    const int w = m_oscPlot->width() - 1, t = m_oscPlot->y();
    if (w != m_overlayWidth || t != m_overlayTop) {
        m_overlayWidth = w;
        m_overlayTop = t;
        const int x0 = m_oscPlot->x();
        m_timeCtl.left->setGeometry(x0 + w - 115, t + 2, 22, 22);
        m_timeCtl.list->setGeometry(x0 + w - 93, t + 2, 70, 22);
        m_timeCtl.right->setGeometry(x0 + w - 23, t + 2, 22, 22);
        m_demodList->setGeometry(x0 + w - 165, t + 2, 50, 22);
    }
}
