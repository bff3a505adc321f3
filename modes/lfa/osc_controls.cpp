// The logic of the four LFA controls: axes, labels and the change signals.
#include "osc.h"

#include "modes/lfa/arrowlist.h"
#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/myplotpicker.h"
#include "modes/lfa/plotstyle.h"
#include "shell/restyle.h"
#include "shell/sharedicon.h"

#include <QComboBox>
#include <QIcon>
#include <QPushButton>
#include <qwt_plot.h>

void OSC::setTIME(int dir)
{
    if (!stepList(m_timeCtl, dir))
        return;
    const int index = m_timeCtl.list->currentIndex();
    if (!m_fromDevice && index != m_lastTime)
        emit changeX(uchar(index));
    PlotStyle::applyTimeScale(Lfa::timeScale(index), m_oscPlot, m_oscPicker, m_x.data());
    m_oscRefresh->request();
    m_lastTime = index;
}

void OSC::setVDIV(int dir)
{
    if (!stepList(m_vdivCtl, dir))
        return;
    const int index = m_vdivCtl.list->currentIndex();
    if (!m_fromDevice && index != m_lastVdiv)
        emit changeY(uchar(index));
    const Lfa::VoltScale v = Lfa::vdivScale(index, m_effGain);
    m_oscPicker->setTextFormat(2, Lfa::vdivDecimals(v.value), v.unit);
    const int h = Lfa::vdivAxisStep(v.value);
    m_oscPlot->setAxisScale(QwtPlot::yLeft, -2 * h, 2 * h, h);
    m_oscPlot->updateAxes();
    m_oscRefresh->request();
    m_lastVdiv = index;
}

void OSC::setKU(int dir)
{
    // While the gain is limited the remembered index is the limited one, not the analyser's, so a
    // pick there always goes out.
    runGain(dir, m_biasCtl.list->currentIndex() > 0 || m_overVoltage);
}

void OSC::runGain(int dir, bool report)
{
    if (!stepList(m_gainCtl, dir))
        return;
    const int index = m_gainCtl.list->currentIndex();
    m_effGain = Lfa::effectiveGain(index, m_biasCtl.list->currentIndex(), m_overVoltage);
    if (!m_fromDevice && (report || index != m_lastGain))
        emit changeKU(uchar(index));
    for (int i = 0; i < m_vdivCtl.list->count(); ++i)
        m_vdivCtl.list->setItemText(i, Lfa::vdivLabel(i, m_effGain));
    setVDIV(0);
    const Lfa::AxisRange axis = Lfa::spectrumAxis(m_effGain);
    m_specPlot->setAxisScale(QwtPlot::yLeft, axis.lo, axis.hi, 10);
    m_specPlot->updateAxes();
    m_specRefresh->request();
    m_lastGain = m_effGain == Lfa::LimitedGain ? Lfa::FirstLimitedItem : index;
}

void OSC::setBIAS(int dir)
{
    if (!stepList(m_biasCtl, dir))
        return;
    const bool negative = m_polarity->isChecked();
    m_polarity->setIcon(
        sharedIcon(negative ? QStringLiteral(":/img/minus.png") : QStringLiteral(":/img/Create.png")));
    const int index = m_biasCtl.list->currentIndex();
    const Lfa::BiasDecision d = m_biasLogic.run(index, negative, m_overVoltage, m_fromDevice);
    if (d.limitGain || d.freeGain) {
        labelGain(d.limitGain);
        restyle(m_biasCtl.list, d.limitGain ? PlotStyle::AlarmSheet : PlotStyle::AccentSheet);
        // A freed list tells the analyser its gain once: it ran at the limited gain meanwhile.
        runGain(0, d.freeGain);
    }
    if (d.relabel)
        labelBias(negative);
    if (d.lock)
        m_biasCtl.list->setItemText(index, tr("X"));
    m_biasCtl.list->setEnabled(!d.lock);
    m_polarity->setEnabled(!d.lock);
    m_biasCtl.left->setEnabled(!d.lock && index != 0);
    m_biasCtl.right->setEnabled(!d.lock && index != m_biasCtl.list->count() - 1);
    if (d.emitCode)
        emit changeBias(d.code);
}

void OSC::slotOVER(bool over)
{
    m_overVoltage = over;
    if (over != m_biasLogic.lastOverVoltage())
        setBIAS(0);
}
