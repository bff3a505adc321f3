#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// The receiver's rules and traces without widgets: marker snapping, the step list, block assembly,
// level frames, the analyser's settings and the commands. RX draws what these hold.
namespace Wrx
{

constexpr int Points = 302; // spectrum points; 1..300 carry data, 0 lies one step below start
constexpr int BinsPerBlock = 100;
constexpr int Blocks = 3;
constexpr int OscSamples = 192;
constexpr int ClearedPoints = 257; // what the curves show after a clear
constexpr int MarkCodes = 18100;   // frequency codes 0 .. 180.99 MHz
constexpr double MinMarker = 0.1;
constexpr double FullScaleDb = 60;
constexpr std::array<double, 4> StepMhz{0.6, 0.2, 0.1, 0.05};

// Half away from zero, as every rounding of the receiver.
inline long roundHalfAway(double v)
{
    return v < 0 ? -long(-v + 0.5) : long(v + 0.5);
}
// Marker and frequency codes: units of 10 kHz.
inline quint16 frequencyCode(double mhz)
{
    return quint16(roundHalfAway(mhz * 100));
}

// The marker logic's position: clamped to 0.1..stop, then snapped to 0.05 MHz with FIX, to the step
// otherwise; a snap that leaves 0.1..stop moves to the nearest step inside.
double snapMarker(double f, double stop, double step, bool fix);

// The step list: in the 60 MHz range (range 0) item 0 ("-") is not selectable.
int allowedStepIndex(int index, int range);
bool stepLeftEnabled(int index, int range);
// The item that shows a step reported by the analyser.
int stepIndexFor(double stepMhz);

struct Axis {
    double from = 0;
    double to = 60;
    double major = 6;
};
Axis bottomAxis(double start, double stop, double step);

// Settings the analyser reports in status sub-kind 5.
struct Settings {
    double start = 0.1;
    double stop = 60;
    double marker = 30;
    double step = 0.2;
    quint8 demod = 0;
    bool fix = false;
    quint8 gain = 0;
    bool diff = false;
    quint8 time = 3;
    quint8 range = 0;
    bool mains = false;
};
Settings decodeSettings(const QByteArray& data);

// Spectrum, peak hold and oscilloscope traces, and the marker level.
class Traces
{
public:
    Traces();

    // Point k at start + step * (k - 1).
    void setSweep(double start, double step);
    // Everything to 0; the curves then show ClearedPoints points.
    void clear();

    enum class Block { Stale, Taken, TakenWithLevel };
    // "C" 0: dropped unless measured with this diff flag and gain; the first bin within step / 1.95
    // of the marker sets the marker level.
    Block takeSpectrum(const QByteArray& data, bool diff, quint8 gain, double marker, double step);
    // "C" 3: the 192 samples and the level from their mean.
    void takeLevelFrame(const QByteArray& data);

    const double* freq() const { return m_freq.data(); }
    const double* spectrum() const { return m_spec.data(); }
    const double* peak() const { return m_peak.data(); }
    const double* oscY() const { return m_oscY.data(); }
    int shownPoints() const { return m_shown; }
    double level() const { return m_level; }
    double peakLevel() const { return m_peakLevel; }

private:
    std::array<double, Points> m_freq{};
    std::array<double, Points> m_spec{};
    std::array<double, Points> m_peak{};
    std::array<double, OscSamples + 1> m_oscY{};
    int m_shown = ClearedPoints;
    double m_level = 0;
    double m_peakLevel = 0;
};

// Which command a receiver change sends; the content is the state at the moment of sending.
enum class Command { Gain, Find, Diff, Marker, Fix, Demod, RangeMains, Time, Step };
struct CommandState {
    quint8 gain = 0;
    bool diff = false;
    double marker = 30;
    quint16 value = 0; // FIX, demodulation, time index
    bool range = false;
    bool mains = false;
    double step = 0.2;
};
QByteArray command(Command c, const CommandState& s);

// Frequency marks by code: 0 none, 1 green, 2 red. Codes past the table are never marked.
class FrequencyMarks
{
public:
    quint8 at(quint16 code) const { return code < MarkCodes ? m_marks[code] : 0; }
    // 0 -> 1 -> 2 -> 0; returns the new mark.
    quint8 cycle(quint16 code);
    void clear() { m_marks.fill(0); }

private:
    std::array<quint8, MarkCodes> m_marks{};
};

} // namespace Wrx
