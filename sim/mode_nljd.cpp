#include "mode_nljd.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double FullScale = 250;
constexpr quint8 OverVoltage = 0xFF;
constexpr double ProbeLimitV = 3.0; // more foreign voltage than this is reported instead of harmonics

quint8 level250(double v)
{
    return quint8(std::clamp(std::lround(v), 0L, long(FullScale)));
}
} // namespace

NljdMode::NljdMode(quint32 seed) : m_noise(quint64(seed) * 0x9E3779B97F4A7C15ull + 6)
{
    m_stream.setInterval(IntervalMs);
    QObject::connect(&m_stream, &QTimer::timeout, [this] { streamTick(); });
}

bool NljdMode::command(VirtualAnalyser&, const QByteArray& payload)
{
    if (payload.size() < 3 || payload.at(0) != 'N' || payload.at(1) != 1)
        return false;
    // The next status reports the level; answering at once would race the program's slider.
    if (quint8(payload.at(2)) < Levels)
        m_level = quint8(payload.at(2));
    return true;
}

void NljdMode::fillStatus(const VirtualAnalyser&, QByteArray& status) const
{
    status[8] = char(m_level);
}

void NljdMode::tick(VirtualAnalyser& analyser)
{
    if (!streaming(analyser))
        return;
    analyser.send(reading(analyser));
    if (analyser.autoTalk()) {
        m_analyser = &analyser;
        if (!m_stream.isActive())
            m_stream.start();
    }
}

void NljdMode::left(VirtualAnalyser&)
{
    m_stream.stop();
}

void NljdMode::pairChanged(VirtualAnalyser& analyser)
{
    if (streaming(analyser))
        analyser.send(reading(analyser));
}

bool NljdMode::streaming(const VirtualAnalyser& analyser) const
{
    return analyser.isConnected() && !analyser.isSilent() && analyser.mode() == VirtualAnalyser::ModeNljd &&
           analyser.wireA() != 0;
}

void NljdMode::streamTick()
{
    if (!m_analyser || !m_analyser->autoTalk() || !streaming(*m_analyser)) {
        m_stream.stop();
        return;
    }
    m_analyser->send(reading(*m_analyser));
}

QByteArray NljdMode::reading(const VirtualAnalyser& analyser)
{
    const int a = analyser.wireA(), b = analyser.wireB();
    const CableModel& cable = analyser.cable();
    QByteArray p(7, '\0');
    p[0] = 'N';
    p[4] = char(a);
    p[5] = char(b);
    p[6] = char(m_level);
    if (cable.peakVoltageOf(a, b) > ProbeLimitV) {
        p[1] = char(OverVoltage);
        return p;
    }
    // A junction answers the square (2nd) and the cube (3rd) of the probing amplitude.
    const double k = (m_level + 1) / double(Levels);
    const double j = cable.junctionOf(a, b);
    const double strength = j > 0 ? 40 + 210 * j : 0;
    const double noise = cable.noiseOf(a, b) / 10;
    const double h2 = strength * k * k + m_noise.uniform(0, 6) + noise;
    const double h3 = 0.6 * strength * k * k * k + m_noise.uniform(0, 6) + noise;
    p[2] = char(level250(h2));
    p[3] = char(level250(h3));
    return p;
}
