#include "wrxlogic.h"

#include <cmath>

namespace Wrx
{
namespace
{
constexpr double Eps = 1e-9;

quint8 byteAt(const QByteArray& d, int i)
{
    return i < d.size() ? quint8(d.at(i)) : 0;
}
quint16 wordAt(const QByteArray& d, int i)
{
    return quint16(byteAt(d, i) | (byteAt(d, i + 1) << 8));
}
} // namespace

double snapMarker(double f, double stop, double step, bool fix)
{
    f = std::max(f, MinMarker);
    f = std::min(f, stop);
    const double q = fix ? 0.05 : step;
    if (q <= 0)
        return f;
    long n = roundHalfAway(f / q);
    if (n * q < MinMarker - Eps)
        n = long(std::ceil(MinMarker / q - Eps));
    if (n * q > stop + Eps)
        n = long(std::floor(stop / q + Eps));
    return n * q;
}

int allowedStepIndex(int index, int range)
{
    return range == 0 && index == 0 ? 1 : index;
}

bool stepLeftEnabled(int index, int range)
{
    return index > (range == 0 ? 1 : 0);
}

int stepIndexFor(double stepMhz)
{
    if (stepMhz < 0.055)
        return 3;
    if (stepMhz < 0.11)
        return 2;
    if (stepMhz < 0.21)
        return 1;
    return 0;
}

Axis bottomAxis(double start, double stop, double step)
{
    return Axis{start <= 0.21 ? 0 : start, stop, step * 50};
}

Settings decodeSettings(const QByteArray& d)
{
    Settings s;
    s.start = wordAt(d, 8) / 100.0;
    s.stop = wordAt(d, 10) / 100.0;
    s.marker = wordAt(d, 12) / 100.0;
    s.step = byteAt(d, 14) / 100.0;
    s.demod = byteAt(d, 15);
    s.fix = byteAt(d, 16) != 0;
    s.gain = byteAt(d, 19);
    s.diff = byteAt(d, 20) != 0;
    s.time = byteAt(d, 21);
    s.range = byteAt(d, 23) != 0 ? 1 : 0;
    s.mains = byteAt(d, 24) != 0;
    return s;
}

Traces::Traces()
{
    setSweep(0.1, 0.2);
}

void Traces::setSweep(double start, double step)
{
    for (int k = 0; k < Points; ++k)
        m_freq[std::size_t(k)] = start + step * (k - 1);
}

void Traces::clear()
{
    m_spec.fill(0);
    m_peak.fill(0);
    m_oscY.fill(0);
    m_level = 0;
    m_peakLevel = 0;
    m_shown = ClearedPoints;
}

Traces::Block Traces::takeSpectrum(const QByteArray& data, bool diff, quint8 gain, double marker, double step)
{
    const int k = byteAt(data, 2);
    // Only blocks 0..2 exist; the traces have no room for more.
    if (k >= Blocks || (byteAt(data, 3) != 0) != diff || byteAt(data, 4) != gain)
        return Block::Stale;
    bool levelSet = false;
    const double reach = step / 1.95;
    for (int j = 0; j < BinsPerBlock; ++j) {
        const std::size_t i = std::size_t(BinsPerBlock * k + 1 + j);
        const double v = byteAt(data, 5 + j) * 0.25;
        m_spec[i] = v;
        if (v > m_peak[i])
            m_peak[i] = v;
        if (!levelSet && std::abs(m_freq[i] - marker) <= reach + Eps) {
            m_level = v;
            m_peakLevel = m_peak[i];
            levelSet = true;
        }
    }
    m_shown = BinsPerBlock * Blocks + 1;
    return levelSet ? Block::TakenWithLevel : Block::Taken;
}

void Traces::takeLevelFrame(const QByteArray& data)
{
    long sum = 0;
    for (int i = 0; i < OscSamples; ++i) {
        const quint8 b = byteAt(data, 2 + i);
        m_oscY[std::size_t(i)] = b * 0.25;
        sum += b;
    }
    m_level = (sum / OscSamples) * 0.25;
    if (m_level > m_peakLevel)
        m_peakLevel = m_level;
}

QByteArray command(Command c, const CommandState& s)
{
    QByteArray p(1, 'S');
    auto add = [&p](int b) { p.append(char(b & 0xFF)); };
    const quint16 marker = frequencyCode(s.marker);
    switch (c) {
    case Command::Gain:
        add(1), add(s.gain);
        break;
    case Command::Find:
        add(2);
        break;
    case Command::Diff:
        add(3), add(s.diff ? 1 : 0);
        break;
    case Command::Marker:
        add(6), add(marker), add(marker >> 8);
        break;
    case Command::Fix:
        add(7), add(s.value), add(marker), add(marker >> 8);
        break;
    case Command::Demod:
        add(8), add(s.value);
        break;
    case Command::RangeMains:
        add(12), add(s.range ? 1 : 0), add(s.mains ? 1 : 0);
        break;
    case Command::Time:
        add(15), add(s.value);
        break;
    case Command::Step:
        add(16), add(int(roundHalfAway(s.step * 100)));
        break;
    }
    return p;
}

quint8 FrequencyMarks::cycle(quint16 code)
{
    if (code >= MarkCodes)
        return 0;
    quint8& m = m_marks[code];
    m = quint8((m + 1) % 3);
    return m;
}

} // namespace Wrx
