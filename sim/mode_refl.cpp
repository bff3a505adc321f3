#include "mode_refl.h"

#include "sim/simrandom.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int Samples = 512;
constexpr int Chunk = 128;
constexpr int MaxDefects = 10;
constexpr double LaunchLevel = 58; // the probe pulse, which the program blanks
constexpr double Floor = 4;

QByteArray tMessage(quint8 kind, quint8 count, quint8 a, quint8 b)
{
    QByteArray m(5, '\0');
    m[0] = 'T';
    m[1] = char(kind);
    m[2] = char(count);
    m[3] = char(a);
    m[4] = char(b);
    return m;
}

QByteArray progress(int percent)
{
    return QByteArray("P", 1) + char(percent);
}

quint8 clampByte(double v)
{
    return quint8(std::clamp(std::lround(v), 0L, 255L));
}

bool tooMuchVoltage(const CableModel& cable, quint8 a, quint8 b)
{
    return cable.peakVoltageOf(a, b) > ReflMode::VoltageLimitV;
}

// Echo level in dB: weaker with distance, and behind the first fault much weaker still.
int echoLevel(const LineFault& f, int index)
{
    const double db =
        50 - 0.015 * f.distanceM - (index > 0 ? 12 : 0) + (f.kind == LineFault::Kind::Short ? 2 : 0);
    return int(std::clamp(std::lround(db), 3L, 60L));
}
} // namespace

ReflMode::ReflMode(quint32 seed) : m_seed(seed)
{
    m_timer.setInterval(StepIntervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
}

bool ReflMode::command(VirtualAnalyser& analyser, const QByteArray& payload)
{
    if (payload.size() < 2 || payload.at(0) != 'F')
        return false;
    switch (payload.at(1)) {
    case 1:
        if (payload.size() < 4)
            return false;
        setFactor(analyser, quint8(payload.at(2)), quint8(payload.at(3)));
        return true;
    case 4:
        if (analyser.mode() == VirtualAnalyser::ModeRefl && analyser.wireA() != 0 && !isMeasuring())
            start(analyser);
        return true;
    default:
        return false;
    }
}

void ReflMode::setFactor(VirtualAnalyser& analyser, quint8 whole, quint8 hundredths)
{
    // Distances divide by the factor: one that the program could not have sent is refused.
    const int f = whole * 100 + hundredths;
    if (f < MinFactorHundredths || f > MaxFactorHundredths)
        return;
    m_whole = whole;
    m_hundredths = hundredths;
    if (analyser.mode() == VirtualAnalyser::ModeRefl)
        analyser.sendStatus();
}

void ReflMode::fillStatus(const VirtualAnalyser&, QByteArray& status) const
{
    status.resize(10);
    status[8] = char(m_whole);
    status[9] = char(m_hundredths);
}

void ReflMode::left(VirtualAnalyser&)
{
    abort();
}

void ReflMode::pairChanged(VirtualAnalyser&)
{
    abort();
}

quint16 ReflMode::reportedDistance(double metres) const
{
    const double shown = metres * CableFactor / factor();
    return quint16(std::clamp(std::lround(shown * 10), 0L, 65535L));
}

void ReflMode::start(VirtualAnalyser& analyser)
{
    m_analyser = &analyser;
    const quint8 a = analyser.wireA(), b = analyser.wireB();
    m_steps.clear();
    m_steps.append({tMessage(0, 0, a, b), progress(0)});
    // A live line is refused before the pulse goes out.
    if (!tooMuchVoltage(analyser.cable(), a, b))
        for (int p = 10; p < 100; p += 10)
            m_steps.append({progress(p)});
    m_steps.append(QList<QByteArray>{progress(100)} + resultMessages(analyser.cable(), a, b));
    step();
    m_timer.start();
}

void ReflMode::step()
{
    if (!m_analyser || !m_analyser->isConnected() || m_steps.isEmpty()) {
        m_timer.stop();
        m_progressOpen = false;
        return;
    }
    for (const QByteArray& m : m_steps.takeFirst()) {
        if (m.at(0) == 'P')
            m_progressOpen = quint8(m.at(1)) != 100;
        m_analyser->send(m);
    }
    if (m_steps.isEmpty())
        m_timer.stop();
}

void ReflMode::abort()
{
    m_timer.stop();
    m_steps.clear();
    // The program locks its window from "P" 0 until "P" 100.
    if (m_progressOpen && m_analyser && m_analyser->isConnected())
        m_analyser->send(progress(100));
    m_progressOpen = false;
}

double ReflMode::plotEndM() const
{
    const double range = TraceSpanM * CableFactor / factor();
    return range < 240 ? range : 120;
}

QList<QByteArray> ReflMode::resultMessages(const CableModel& cable, quint8 a, quint8 b) const
{
    if (tooMuchVoltage(cable, a, b))
        return {tMessage(3, 0, a, b)};
    QList<QByteArray> out;
    const std::array<quint8, Samples> t = trace(cable, a, b);
    for (int c = 0; c < Samples / Chunk; ++c) {
        QByteArray m = tMessage(6, quint8(c), a, b);
        m.append(reinterpret_cast<const char*>(t.data() + c * Chunk), Chunk);
        out.append(m);
    }
    if (cable.noiseOf(a, b) > NoiseLimitMv) {
        out.append(tMessage(4, 0, a, b));
        return out;
    }
    // Only what the program's plot shows at this factor, so the table never lists an echo off the plot.
    const QList<LineFault> faults = cable.faultsOf(a, b);
    QByteArray entries;
    int n = 0;
    for (int k = 0; k < faults.size() && n < MaxDefects; ++k) {
        const quint16 d = reportedDistance(faults[k].distanceM);
        if (d > plotEndM() * 10)
            break;
        entries.append(char(d & 0xFF)).append(char(d >> 8)).append(char(echoLevel(faults[k], k)));
        ++n;
    }
    out.append(tMessage(1, quint8(n), a, b) + entries);
    return out;
}

std::array<quint8, 512> ReflMode::trace(const CableModel& cable, quint8 a, quint8 b) const
{
    // The same ripple on every run: the analyser averages its shots, so an unchanged line gives the
    // same reflectogram again.
    SimRandom rng(quint64(m_seed) * 0x2545F4914F6CDD1Dull + quint64(CableModel::pairIndex(a, b)) * 977);
    const double noiseMv = cable.noiseOf(a, b);
    const bool unreadable = noiseMv > NoiseLimitMv;
    const QList<LineFault> faults = cable.faultsOf(a, b);
    std::array<quint8, Samples> t{};
    for (int j = 0; j < Samples; ++j) {
        const double d = TraceSpanM * (j + 1) / Samples;
        if (unreadable) {
            t[j] = clampByte(Floor + noiseMv * rng.uniform(0.2, 1.2));
            continue;
        }
        double v = Floor + LaunchLevel * std::exp(-d / 0.7) + rng.uniform(-1, 1) * (1 + noiseMv / 2);
        for (int k = 0; k < faults.size(); ++k) {
            const LineFault& f = faults[k];
            const double width = 0.8 + f.distanceM / 150;
            const double x = (d - f.distanceM) / width;
            v += (echoLevel(f, k) - Floor) * std::exp(-x * x);
            // A short swings back below the floor just behind its echo.
            if (f.kind == LineFault::Kind::Short && x > 1 && x < 4)
                v -= 3;
            // Little of the pulse gets past a fault.
            if (d > f.distanceM + 2 * width)
                v -= 1.5;
        }
        t[j] = clampByte(v);
    }
    return t;
}
