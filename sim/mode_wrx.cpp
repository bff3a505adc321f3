#include "mode_wrx.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int Bins = 300;
constexpr int BinsPerBlock = 100;
constexpr int Samples = 192;
constexpr int EntriesPerBlock = 30;
constexpr quint16 StartCode = 10;
constexpr double Pi = 3.14159265358979323846;
// Gain of ATT, x1, x2, x4 in dB.
constexpr double GainDb[] = {-8, 0, 4, 8};
// The receiver's own floor at ATT, in dB.
constexpr double FloorDb = 7;
// Broadcast carriers the shield pairs pick up along the whole cable.
constexpr int AmbientCarriers = 2;
// What a carrier of a wire pair still shows on the wire's shield pair.
constexpr double ShieldCrosstalkDb = -9;
constexpr quint8 TimeItems = 7;

quint8 byteAt(const QByteArray& p, int i)
{
    return i < p.size() ? quint8(p.at(i)) : 0;
}

quint8 quarterDb(double db)
{
    return quint8(std::clamp(std::lround(db * 4), 0L, 255L));
}

void putU16(QByteArray& p, int at, int v)
{
    p[at] = char(v & 0xFF);
    p[at + 1] = char((v >> 8) & 0xFF);
}

QList<WrxMode::Heard> sortedByFrequency(QList<WrxMode::Heard> heard)
{
    std::sort(heard.begin(), heard.end(),
              [](const WrxMode::Heard& x, const WrxMode::Heard& y) { return x.freqCode < y.freqCode; });
    return heard;
}

// The receiver finds carriers on a 50 kHz raster.
quint16 onRaster(quint16 code)
{
    return quint16(std::max(10, int(std::lround(code / 5.0)) * 5));
}
} // namespace

WrxMode::WrxMode(quint32 seed) : m_noise(quint64(seed) * 0x9E3779B97F4A7C15ull + 5)
{
    m_stream.setInterval(FrameIntervalMs);
    QObject::connect(&m_stream, &QTimer::timeout, [this] { streamTick(); });
    m_statusDue.setSingleShot(true);
    m_statusDue.setInterval(0);
    QObject::connect(&m_statusDue, &QTimer::timeout, [this] {
        if (m_analyser && m_analyser->isConnected() && m_analyser->mode() == VirtualAnalyser::ModeWrx)
            m_analyser->sendStatus();
    });
}

QList<WrxMode::Heard> WrxMode::heardOn(const CableModel& cable, int a, int b)
{
    if (a > b)
        std::swap(a, b);
    QList<Heard> heard;
    auto add = [&heard](quint16 code, double level) {
        code = onRaster(code);
        for (Heard& h : heard)
            if (h.freqCode == code) {
                h.levelDb = std::max(h.levelDb, level);
                return;
            }
        heard.append({code, level});
    };
    for (const Carrier& c : cable.carriersOf(a, b))
        add(c.freqCode, c.levelDb);
    if (b != CableModel::Shield)
        return sortedByFrequency(heard);
    SimRandom ambient(quint64(cable.seed()) * 0x2545F4914F6CDD1Dull + 11);
    for (int k = 0; k < AmbientCarriers; ++k) {
        const quint16 code = quint16(50 + ambient.below(5900));
        const double level = ambient.uniform(10, 20);
        add(code, level + 1.5 * ((a + k) % 4));
    }
    // A shield pair hears the carriers of every wire pair of its wire, weaker.
    for (int x = 1; x < CableModel::Shield; ++x)
        if (x != a)
            for (const Carrier& c : cable.carriersOf(a, x))
                if (c.levelDb + ShieldCrosstalkDb >= 6)
                    add(c.freqCode, c.levelDb + ShieldCrosstalkDb);
    return sortedByFrequency(heard);
}

bool WrxMode::command(VirtualAnalyser& analyser, const QByteArray& payload)
{
    if (payload.size() < 2 || payload.at(0) != 'S')
        return false;
    const quint8 v = byteAt(payload, 2);
    bool find = false;
    switch (payload.at(1)) {
    case 1:
        if (v < 4)
            m_gain = v;
        break;
    case 2:
        find = true;
        break;
    case 3:
        m_diff = v != 0;
        break;
    case 6:
        m_marker = quint16(byteAt(payload, 2) | (byteAt(payload, 3) << 8));
        break;
    case 7:
        m_fix = v != 0;
        m_marker = quint16(byteAt(payload, 3) | (byteAt(payload, 4) << 8));
        break;
    case 8:
        m_demod = v ? 1 : 0;
        break;
    case 12:
        m_range = v ? 1 : 0;
        m_mains = byteAt(payload, 3) != 0;
        break;
    case 15:
        if (v < TimeItems)
            m_time = v;
        break;
    case 16:
        if (v == 5 || v == 10 || v == 20 || v == 60)
            m_step = v;
        break;
    default:
        return false;
    }
    m_marker = std::clamp<quint16>(m_marker, StartCode, rangeTop());
    if (m_range == 0 && m_step == 60)
        m_step = 20;
    if (analyser.mode() != VirtualAnalyser::ModeWrx)
        return true;
    if (find && streaming(analyser)) {
        for (const QByteArray& block : searchResults(analyser))
            analyser.send(block);
        // After a search the receiver stays on the marker.
        m_fix = true;
    }
    m_analyser = &analyser;
    m_statusDue.start();
    return true;
}

void WrxMode::fillStatus(const VirtualAnalyser&, QByteArray& status) const
{
    status.resize(26);
    for (int i = 8; i < 26; ++i)
        status[i] = 0;
    putU16(status, 8, startCode());
    putU16(status, 10, stopCode());
    putU16(status, 12, m_marker);
    status[14] = char(m_step);
    status[15] = char(m_demod);
    status[16] = char(m_fix ? 1 : 0);
    status[19] = char(m_gain);
    status[20] = char(m_diff ? 1 : 0);
    status[21] = char(m_time);
    status[23] = char(m_range);
    status[24] = char(m_mains ? 1 : 0);
}

bool WrxMode::periodicStatus(const VirtualAnalyser& analyser) const
{
    // Each status clears the program's peak hold, so while measuring it is sent after commands only.
    return !streaming(analyser);
}

void WrxMode::tick(VirtualAnalyser& analyser)
{
    if (!streaming(analyser))
        return;
    sendData(analyser);
    if (analyser.autoTalk()) {
        m_analyser = &analyser;
        if (!m_stream.isActive())
            m_stream.start();
    }
}

void WrxMode::left(VirtualAnalyser&)
{
    m_stream.stop();
}

bool WrxMode::streaming(const VirtualAnalyser& analyser) const
{
    return analyser.isConnected() && !analyser.isSilent() && analyser.mode() == VirtualAnalyser::ModeWrx &&
           analyser.wireA() != 0;
}

void WrxMode::sendData(VirtualAnalyser& analyser)
{
    if (m_fix) {
        analyser.send(levelFrame(analyser));
        return;
    }
    for (quint8 k = 0; k < 3; ++k)
        analyser.send(spectrumBlock(analyser, k));
}

void WrxMode::streamTick()
{
    if (!m_analyser || !m_analyser->autoTalk() || !streaming(*m_analyser)) {
        m_stream.stop();
        return;
    }
    sendData(*m_analyser);
}

quint16 WrxMode::rangeTop() const
{
    return m_range ? 18000 : 6000;
}

quint16 WrxMode::startCode() const
{
    const int span = Bins * m_step;
    if (span >= rangeTop() - StartCode)
        return StartCode;
    return quint16(std::clamp(m_marker - span / 2, int(StartCode), rangeTop() - span));
}

quint16 WrxMode::stopCode() const
{
    return quint16(std::min<int>(rangeTop(), startCode() + Bins * m_step));
}

double WrxMode::gainDb() const
{
    return FloorDb + GainDb[m_gain] - (m_diff ? 6 : 0);
}

double WrxMode::floorDb()
{
    // More gain lifts the receiver's own noise; Diff cancels most of the common-mode part.
    return FloorDb + 1.5 * m_gain - (m_diff ? 3 : 0) + m_noise.uniform(-1.5, 1.5);
}

QByteArray WrxMode::spectrumBlock(const VirtualAnalyser& analyser, quint8 block)
{
    const QList<Heard> heard = heardOn(analyser.cable(), analyser.wireA(), analyser.wireB());
    const double start = startCode() / 100.0, step = m_step / 100.0;
    // A carrier spreads over about 100 kHz, however fine the step.
    const double width = std::max(step, 0.1);
    QByteArray p(5 + BinsPerBlock, '\0');
    p[0] = 'C';
    p[1] = 0;
    p[2] = char(block);
    p[3] = char(m_diff ? 1 : 0);
    p[4] = char(m_gain);
    for (int j = 0; j < BinsPerBlock; ++j) {
        const double f = start + step * (BinsPerBlock * block + j);
        double v = floorDb();
        for (const Heard& h : heard) {
            const double d = std::abs(f - h.freqCode / 100.0) / width;
            if (d < 3)
                v = std::max(v, h.levelDb + gainDb() + m_noise.uniform(-0.7, 0.7) - 14 * d * d);
        }
        p[5 + j] = char(quarterDb(v));
    }
    return p;
}

QByteArray WrxMode::levelFrame(const VirtualAnalyser& analyser)
{
    ++m_frames;
    double carrier = -1;
    for (const Heard& h : heardOn(analyser.cable(), analyser.wireA(), analyser.wireB()))
        if (std::abs(int(h.freqCode) - int(m_marker)) <= 5)
            carrier = h.levelDb + gainDb();
    QByteArray p(2 + Samples, '\0');
    p[0] = 'C';
    p[1] = 3;
    for (int i = 0; i < Samples; ++i) {
        const double t = (m_frames * Samples + i) / double(Samples);
        double v = floorDb();
        if (carrier >= 0) {
            // AM shows the programme's envelope; FM a nearly flat level with a little ripple.
            const double swing = m_demod ? 0.8 : 6 + 3 * std::sin(2 * Pi * t * 0.37);
            v = carrier + swing * std::sin(2 * Pi * (i / 24.0 + t * 0.11)) + m_noise.uniform(-0.5, 0.5);
        }
        p[2 + i] = char(quarterDb(v));
    }
    return p;
}

QList<WrxMode::Heard> WrxMode::foundOn(const CableModel& cable, int a, int b) const
{
    QList<Heard> found;
    for (const Heard& h : heardOn(cable, a, b))
        if (h.freqCode <= rangeTop() && h.levelDb + gainDb() >= 3)
            found.append(h);
    return found;
}

QList<QByteArray> WrxMode::searchResults(const VirtualAnalyser& analyser) const
{
    const QList<Heard> found = foundOn(analyser.cable(), analyser.wireA(), analyser.wireB());
    const int n = std::min<int>(found.size(), 255);
    QList<QByteArray> blocks;
    for (int m = 0; m == 0 || EntriesPerBlock * m < n; ++m) {
        QByteArray p(4, '\0');
        p[0] = 'C';
        p[1] = char(EntriesPerBlock * (m + 1) >= n ? 2 : 1);
        p[2] = char(n);
        p[3] = char(m);
        for (int s = EntriesPerBlock * m; s < n && s < EntriesPerBlock * (m + 1); ++s) {
            const Heard& h = found.at(s);
            p.append(char(h.freqCode & 0xFF)).append(char(h.freqCode >> 8));
            p.append(char(quint8(std::clamp(std::lround(h.levelDb + gainDb()), 0L, 255L))));
        }
        blocks << p;
    }
    return blocks;
}
