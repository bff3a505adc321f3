// The logic of the receiver controls: marker, range, mains, gain, step, time base, demodulation, Diff.
#include "rx.h"

#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/myplotpicker.h"
#include "modes/lfa/plotstyle.h"
#include "shell/restyle.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <cmath>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>

void RX::setMARK(double f)
{
    m_marker = Wrx::snapMarker(f, m_stop, m_step, m_fix);
    const QwtScaleDiv& axis = m_specPlot->axisScaleDiv(QwtPlot::xBottom);
    const double middle = (axis.lowerBound() + axis.upperBound()) / 2;
    m_markerLine->setLabelAlignment(m_marker < middle ? Qt::AlignRight | Qt::AlignTop
                                                      : Qt::AlignLeft | Qt::AlignTop);
    m_markerText = QString::asprintf("\n %.3f MHz", m_marker);
    QwtText label(m_markerText);
    label.setFont(QFont("Helvetica", 10, QFont::Bold));
    label.setColor(QColor(65, 160, 255));
    m_markerLine->setLabel(label);
    m_markerLine->setValue(m_marker, 60);
    m_specRefresh->request();
    // A line edit shows one line: the text after the newline.
    m_markEdit->setText(m_markerText.mid(1));
    if (!m_fromDevice && std::abs(m_marker - m_lastMarker) > 0.01 + 1e-9)
        emit changeMark(ushort(Wrx::frequencyCode(m_marker)));
    m_lastMarker = m_marker;
}

void RX::moveMARK(QPointF val)
{
    if (!m_fix) {
        setMARK(val.x());
        return;
    }
    // A click on the spectrum ends fixed reception; the marker stays.
    m_demod = false;
    emit changeSND(0);
    emitFix(false);
}

void RX::shiftMARK(double val)
{
    setMARK(m_marker + val * (m_fix ? 0.05 : m_step));
}

void RX::oscClick(QPointF)
{
    if (m_fix)
        return;
    emitFix(true);
    m_demod = m_demodList->currentIndex() != 0;
    emit changeSND(m_demod ? 1 : 0);
}

void RX::emitFix(bool on)
{
    m_fix = on;
    emit changeFIX(on ? 1 : 0);
    updateBar();
}

void RX::setDemod(int)
{
    if (!m_fix)
        return;
    m_demod = m_demodList->currentIndex() != 0;
    if (!m_fromDevice)
        emit changeSND(m_demod ? 1 : 0);
}

void RX::setRange(int)
{
    const int index = m_rangeList->currentIndex();
    if (index == m_lastRange)
        return;
    m_range = index != 0 ? 1 : 0;
    if (!m_fromDevice)
        emit changeDiap(uchar(index));
    m_stepCtl.list->setItemText(0, m_range ? tr("600 kHz") : tr("-"));
    m_lastRange = index;
    // The 60 MHz range has no 600 kHz step, and its left arrow stops at 200 kHz.
    setStep(0);
}

void RX::setMains()
{
    const bool on = m_mainsBtn->isChecked();
    restyle(m_mainsBtn, on ? PlotStyle::AlarmSheet : PlotStyle::AccentSheet);
    if (!m_fromDevice && int(on) != m_lastMains) {
        m_mains = on;
        emit changeSila(on ? 1 : 0);
    }
    m_lastMains = on;
}

void RX::setGain(int dir)
{
    if (!stepList(m_gainCtl, dir))
        return;
    const int index = m_gainCtl.list->currentIndex();
    m_gain = quint8(index);
    if (!m_fromDevice && index != m_lastGain) {
        emit changeKU(uchar(index));
        clearRX();
    }
    m_lastGain = index;
}

void RX::setStep(int dir)
{
    QComboBox* list = m_stepCtl.list;
    const int index = list->currentIndex();
    const int lowest = m_range == 0 ? 1 : 0;
    if (dir == -1 && index > lowest) {
        list->setCurrentIndex(index - 1);
        return;
    }
    if (dir == 1 && index < list->count() - 1) {
        list->setCurrentIndex(index + 1);
        return;
    }
    const int allowed = Wrx::allowedStepIndex(index, m_range);
    if (allowed != index) {
        list->setCurrentIndex(allowed);
        return;
    }
    m_stepCtl.left->setEnabled(Wrx::stepLeftEnabled(index, m_range));
    m_stepCtl.right->setEnabled(index < list->count() - 1);
    m_step = Wrx::StepMhz[std::size_t(index)];
    if (!m_fromDevice && index != m_lastStep)
        emit changeStep(uchar(Wrx::roundHalfAway(m_step * 100)));
    m_lastStep = index;
}

void RX::setTime(int dir)
{
    if (!stepList(m_timeCtl, dir))
        return;
    const int index = m_timeCtl.list->currentIndex();
    if (!m_fromDevice && index != m_lastTime)
        emit changeX(uchar(index));
    PlotStyle::applyTimeScale(Lfa::timeScale(index), m_oscPlot, m_oscPicker, m_oscX.data());
    m_oscRefresh->request();
    m_lastTime = index;
}

void RX::setDiff()
{
    const bool on = m_diffBtn->isChecked();
    restyle(m_diffBtn, on ? PlotStyle::AlarmSheet : PlotStyle::AccentSheet);
    if (!m_fromDevice && int(on) != m_lastDiff) {
        m_diff = on;
        emit changeDiff(on ? 1 : 0);
        clearRX();
    }
    colourCurves();
    m_lastDiff = on;
}

void RX::colourCurves()
{
    m_specCurve->setBrush(QBrush(m_diff ? Qt::magenta : Qt::green));
    m_peakCurve->setBrush(QBrush(m_diff ? Qt::darkYellow : Qt::darkRed));
    m_specRefresh->request();
}

void RX::showSpectrum()
{
    m_stack->setCurrentIndex(0);
}

void RX::rxSET(const QByteArray& data)
{
    const Wrx::Settings s = Wrx::decodeSettings(data);
    m_fromDevice = true;
    m_start = s.start;
    m_stop = s.stop;
    m_step = s.step;
    const Wrx::Axis axis = Wrx::bottomAxis(s.start, s.stop, s.step);
    if (axis.major > 0 && axis.to > axis.from) {
        m_specPlot->setAxisScale(QwtPlot::xBottom, axis.from, axis.to, axis.major);
        // The marker's label side follows the new axis.
        m_specPlot->updateAxes();
    }
    m_traces.setSweep(s.start, s.step);
    // FIX first: it decides how the marker snaps.
    m_fix = s.fix;
    setMARK(s.marker);
    m_demodList->setCurrentIndex(s.demod ? 1 : 0);
    m_demod = s.demod != 0;
    if (!m_fix) {
        showSpectrum();
        m_search->setChecked(false);
        restyle(m_search, PlotStyle::AccentSheet);
        m_diffBtn->setEnabled(true);
        m_lastSearch = 0;
    }
    if (s.gain < m_gainCtl.list->count()) {
        m_gain = s.gain;
        m_gainCtl.list->setCurrentIndex(s.gain);
        setGain(0);
    }
    m_diff = s.diff;
    m_diffBtn->setChecked(s.diff);
    setDiff();
    if (s.time < m_timeCtl.list->count()) {
        m_timeCtl.list->setCurrentIndex(s.time);
        setTime(0);
    }
    m_range = s.range;
    m_rangeList->setCurrentIndex(s.range);
    setRange(0);
    m_mains = s.mains;
    m_mainsBtn->setChecked(s.mains);
    setMains();
    clearRX();
    m_stepCtl.list->setCurrentIndex(Wrx::stepIndexFor(s.step));
    m_fromDevice = false;
    updateBar();
}
