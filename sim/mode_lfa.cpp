#include "mode_lfa.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace
{
// The analyser's own scales, matching what the program draws.
constexpr int TimeBaseUs[] = {10000, 5000, 2000, 1000, 500, 200, 100};
constexpr int VoltsPerDivUv[] = {10000000, 1000000, 500000, 200000, 100000, 50000, 20000, 10000, 5000, 2000};
constexpr int GainDivisor[] = {1, 2, 4, 10, 40, 100, 400, 1000};
constexpr int LimitedDivisor = 22; // bias or over-voltage allows at most 25 dB
constexpr int Samples = 192;
constexpr int ZeroSample = 110;
constexpr int Bins = 256;
constexpr int BinsPerBlock = 128;
constexpr double TopHz = 25000;
constexpr double MainsHz = 50;
constexpr double Pi = 3.14159265358979323846;
// Odd mains harmonics relative to the fundamental, as a loaded mains line carries them.
constexpr double Harmonics[][2] = {{1, 1.0}, {3, 0.08}, {5, 0.04}, {7, 0.02}, {9, 0.01}, {11, 0.006}};

quint8 clampByte(double v)
{
    return quint8(std::clamp(std::lround(v), 0L, 255L));
}

double dbMicrovolts(double volts)
{
    return 20 * std::log10(std::max(volts, 1e-7) * 1e6);
}

void putU16(QByteArray& p, int at, int v)
{
    p[at] = char(v & 0xFF);
    p[at + 1] = char((v >> 8) & 0xFF);
}
} // namespace

LfaMode::LfaMode(quint32 seed) : m_noise(quint64(seed) * 0x9E3779B97F4A7C15ull + 4)
{
    m_stream.setInterval(FrameIntervalMs);
    QObject::connect(&m_stream, &QTimer::timeout, [this] { streamTick(); });
}

bool LfaMode::command(VirtualAnalyser& analyser, const QByteArray& payload)
{
    if (payload.size() < 3 || payload.at(0) != 'O')
        return false;
    const quint8 val = quint8(payload.at(2));
    switch (payload.at(1)) {
    case 13:
        if (val < std::size(TimeBaseUs))
            m_time = val;
        break;
    case 14:
        if (val < std::size(VoltsPerDivUv))
            m_vdiv = val;
        break;
    case 15:
        if (val < std::size(GainDivisor))
            m_gain = val;
        break;
    case 16:
        if (val <= 10)
            m_bias = val;
        break;
    default:
        return false;
    }
    // The analyser confirms every setting with its status, then shows the pair with it at once.
    if (analyser.mode() == VirtualAnalyser::ModeLfa) {
        analyser.sendStatus();
        if (streaming(analyser))
            sendData(analyser, true);
    }
    return true;
}

void LfaMode::fillStatus(const VirtualAnalyser& analyser, QByteArray& status) const
{
    status.resize(13);
    status[5] = char(analyser.cable().isOverVoltage(analyser.wireA(), analyser.wireB()) ? 1 : 0);
    status[8] = char(m_bias);
    status[9] = char(m_gain);
    status[10] = 0;
    status[11] = char(m_time);
    status[12] = char(m_vdiv);
}

void LfaMode::tick(VirtualAnalyser& analyser)
{
    if (!streaming(analyser))
        return;
    analyser.send(lineVoltages(analyser));
    // The status just sent cleared the program's traces: redraw them without a gap.
    sendData(analyser, true);
    if (analyser.autoTalk()) {
        m_analyser = &analyser;
        if (!m_stream.isActive())
            m_stream.start();
    }
}

void LfaMode::left(VirtualAnalyser&)
{
    m_stream.stop();
}

bool LfaMode::streaming(const VirtualAnalyser& analyser) const
{
    return analyser.isConnected() && !analyser.isSilent() && analyser.mode() == VirtualAnalyser::ModeLfa &&
           analyser.wireA() != 0;
}

void LfaMode::sendData(VirtualAnalyser& analyser, bool withSpectrum)
{
    analyser.send(oscFrame(analyser));
    if (withSpectrum) {
        analyser.send(spectrumBlock(analyser, 0));
        analyser.send(spectrumBlock(analyser, 1));
    }
}

void LfaMode::streamTick()
{
    if (!m_analyser || !m_analyser->autoTalk() || !streaming(*m_analyser)) {
        m_stream.stop();
        return;
    }
    sendData(*m_analyser, m_frames % 2 == 1);
}

double LfaMode::voltsPerDiv(bool overVoltage) const
{
    const bool limited = m_gain >= 3 && (m_bias != 5 || overVoltage);
    return VoltsPerDivUv[m_vdiv] / 1e6 / (limited ? LimitedDivisor : GainDivisor[m_gain]);
}

double LfaMode::mainsRms(const VirtualAnalyser& analyser) const
{
    const LineVoltage v = analyser.cable().voltageOf(analyser.wireA(), analyser.wireB());
    if (v.ac > 0)
        return v.ac;
    // A quiet pair still picks up some hum from the mains around it, a little different on every pair.
    return 0.004 + 0.001 * CableModel::pairIndex(analyser.wireA(), analyser.wireB());
}

QByteArray LfaMode::oscFrame(const VirtualAnalyser& analyser)
{
    ++m_frames;
    const int a = analyser.wireA(), b = analyser.wireB();
    const double peak = mainsRms(analyser) * std::sqrt(2.0);
    const double noise = 0.0005 + analyser.cable().noiseOf(a, b) / 1000;
    const double perDiv = voltsPerDiv(analyser.cable().isOverVoltage(a, b));
    const double dt = TimeBaseUs[m_time] * 1e-6 * 9.6 / Samples;
    // Triggered near the rising zero crossing, with a little jitter.
    const double start = m_noise.uniform(-0.02, 0.02) / (2 * Pi * MainsHz);

    QByteArray p(5 + Samples, '\0');
    p[0] = 'M';
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < Samples; ++i) {
        const double t = start + i * dt;
        double v = 0;
        for (const auto& h : Harmonics)
            v += peak * h[1] * std::sin(2 * Pi * MainsHz * h[0] * t);
        // Roughly normal: the sum of three uniform draws.
        v += noise * (m_noise.uniform(-1, 1) + m_noise.uniform(-1, 1) + m_noise.uniform(-1, 1));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        p[5 + i] = char(clampByte(ZeroSample + v / perDiv * 55));
    }
    // Four digits at most, as the instrument's own display: uV, mV up to 9999, then hundredths of a volt.
    const double vpp = hi - lo;
    if (vpp < 0.001) {
        putU16(p, 2, int(std::lround(vpp * 1e6)));
        p[4] = 0;
    } else if (vpp < 9.9995) {
        putU16(p, 2, int(std::lround(vpp * 1e3)));
        p[4] = 1;
    } else {
        putU16(p, 2, int(std::min(std::lround(vpp * 100), 65535L)));
        p[4] = 2;
    }
    return p;
}

QByteArray LfaMode::spectrumBlock(const VirtualAnalyser& analyser, quint8 block)
{
    if (block == 0) {
        const int a = analyser.wireA(), b = analyser.wireB();
        const int pair = CableModel::pairIndex(a, b);
        // The floor follows the gain: the axis of the program moves down 5 dB per step.
        const bool limited = m_gain >= 3 && (m_bias != 5 || analyser.cable().isOverVoltage(a, b));
        const double axisFloor = limited ? 15 : 30 - 5 * m_gain;
        const double pairFloor = dbMicrovolts(analyser.cable().noiseOf(a, b) / 1000 / 16);
        const double floor = std::max(axisFloor + 8, pairFloor);
        for (int i = 0; i < Bins; ++i)
            m_bins[i] = clampByte(floor + m_noise.uniform(-3, 3));
        auto line = [&](double hz, double rms) {
            const int bin = int(std::lround(hz * 255 / TopHz));
            if (bin < 0 || bin >= Bins)
                return;
            const double level = dbMicrovolts(rms) + m_noise.uniform(-0.5, 0.5);
            for (int k = -1; k <= 1; ++k)
                if (bin + k >= 0 && bin + k < Bins)
                    m_bins[bin + k] = std::max(m_bins[bin + k], clampByte(level - (k == 0 ? 0 : 14)));
        };
        const double mains = mainsRms(analyser);
        for (const auto& h : Harmonics)
            line(MainsHz * h[0], mains * h[1]);
        // Noisy pairs also carry a signalling tone of their own.
        if (analyser.cable().noiseOf(a, b) > 0)
            line(1000.0 + 700.0 * pair, analyser.cable().noiseOf(a, b) / 300);
    }
    QByteArray p(3 + BinsPerBlock, '\0');
    p[0] = 'M';
    p[1] = 1;
    p[2] = char(block);
    for (int i = 0; i < BinsPerBlock; ++i)
        p[3 + i] = char(m_bins[block * BinsPerBlock + i]);
    return p;
}

QByteArray LfaMode::lineVoltages(const VirtualAnalyser& analyser) const
{
    const int a = analyser.wireA(), b = analyser.wireB();
    const LineVoltage v = analyser.cable().voltageOf(a, b);
    const bool over = analyser.cable().isOverVoltage(a, b);
    QByteArray p(13, '\0');
    p[0] = 'V';
    putU16(p, 1, int(std::lround(v.dc * 10)));
    putU16(p, 3, int(std::lround(v.ac * 100)));
    p[5] = char(a);
    p[6] = char(b);
    // A: 0 while the line is free of foreign voltage; C: 5 while it is dangerous.
    p[7] = char(std::abs(v.dc) < 1 && v.ac < 1 ? 0 : 1);
    p[8] = char(over ? 1 : 0);
    p[11] = 0;
    p[12] = char(over ? 5 : 0);
    return p;
}
