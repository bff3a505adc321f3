// What the analyser sends in LFA mode: oscilloscope frames, spectrum blocks and its settings.
#include "osc.h"

#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/lfamessages.h"

#include <QComboBox>
#include <QPushButton>
#include <qwt_plot_curve.h>
#include <qwt_plot_textlabel.h>

namespace
{
constexpr quint8 VppRefreshEvery = 4; // the label takes the caption on every 6th frame
} // namespace

void OSC::oscDATA(const QByteArray& data)
{
    const Lfa::OscFrame f = Lfa::decodeOscFrame(data);
    m_vppText.setText(Lfa::vppCaption(f.vpp, f.vppUnit), QwtText::PlainText);
    if (m_vppRefresh++ > VppRefreshEvery) {
        m_vppLabel->setText(m_vppText);
        m_vppRefresh = 0;
        m_vppMeasured = true;
    }
    const double factor = Lfa::sampleFactor(Lfa::vdivScale(m_vdivCtl.list->currentIndex(), m_effGain).value);
    for (int i = 0; i < Lfa::SamplesPerFrame; ++i)
        m_y[std::size_t(i)] = (int(f.samples[std::size_t(i)]) - Lfa::ZeroSample) * factor;
    m_oscCurve->setSamples(m_x.data(), m_y.data(), Lfa::SamplesPerFrame);
    m_oscRefresh->request();
}

void OSC::specDATA(const QByteArray& data)
{
    const Lfa::SpectrumBlock b = Lfa::decodeSpectrumBlock(data);
    if (b.block > 1)
        return;
    const std::size_t first = std::size_t(b.block) * Lfa::BinsPerBlock;
    for (std::size_t i = 0; i < b.bins.size(); ++i) {
        const double v = b.bins[i];
        m_spec[first + i] = v;
        if (v > m_peak[first + i])
            m_peak[first + i] = v;
    }
    if (b.block != 0)
        showCurves();
}

void OSC::oscSET(const QByteArray& data)
{
    const Lfa::Settings s = Lfa::decodeSettings(data);
    m_fromDevice = true;
    m_overVoltage = s.overVoltage;
    // A value outside its list leaves that list as it is.
    if (s.biasCode <= Lfa::MaxBiasCode) {
        const Lfa::BiasSetting b = Lfa::biasFromCode(s.biasCode);
        m_biasCtl.list->setCurrentIndex(b.index);
        m_polarity->setChecked(b.negative);
    }
    setBIAS(0);
    if (s.gain < m_gainCtl.list->count())
        m_gainCtl.list->setCurrentIndex(s.gain);
    setKU(0);
    if (s.time < m_timeCtl.list->count())
        m_timeCtl.list->setCurrentIndex(s.time);
    setTIME(0);
    if (s.vdiv < m_vdivCtl.list->count())
        m_vdivCtl.list->setCurrentIndex(s.vdiv);
    setVDIV(0);
    clearOSC();
    m_fromDevice = false;
}

void OSC::clearOSC()
{
    std::fill(m_peak.begin(), m_peak.end() - 1, Lfa::NoLevel);
    std::fill(m_spec.begin(), m_spec.end() - 1, Lfa::NoLevel);
    m_y.fill(0);
    m_oscCurve->setSamples(m_x.data(), m_y.data(), Lfa::SamplesPerFrame);
    m_oscRefresh->request();
    showCurves();
}

void OSC::showCurves()
{
    m_specCurve->setSamples(m_specX.data(), m_spec.data(), Lfa::SpectrumBins + 1);
    m_peakCurve->setSamples(m_specX.data(), m_peak.data(), Lfa::SpectrumBins + 1);
    m_specRefresh->request();
}
