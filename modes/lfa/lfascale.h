#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// The fixed value tables of the LFA controls and the arithmetic that turns a selection into axes,
// labels and trace values. No widgets here, so every rule can be checked on its own.
namespace Lfa
{

// Time/div, microseconds per division; the WRx oscilloscope uses the same time base.
constexpr std::array<int, 7> TimeBaseUs{10000, 5000, 2000, 1000, 500, 200, 100};
// V/div at 0 dB, microvolts per division.
constexpr std::array<int, 10> VoltsPerDivUv{10000000, 1000000, 500000, 200000, 100000,
                                            50000,    20000,   10000,  5000,   2000};
// By effective gain index; entry 8 is the limited 25 dB used while bias or over-voltage is present.
constexpr std::array<int, 9> GainDivisor{1, 2, 4, 10, 40, 100, 400, 1000, 22};
constexpr int LimitedGain = 8;
// Gain items from this index on are limited while bias or over-voltage is present.
constexpr int FirstLimitedItem = 3;

constexpr double Divisions = 9.6;
constexpr int SamplesPerFrame = 192;
constexpr int ZeroSample = 110;
constexpr int SpectrumBins = 256;
constexpr double SpectrumTopHz = 25000;
// Spectrum points without data.
constexpr double NoLevel = -10;

// One time base as the oscilloscope shows it: value per division in its unit, and the tracker format.
struct TimeScale {
    double perDiv = 1;
    int decimals = 1;
    QString unit;

    double axisEnd() const { return Divisions * perDiv; }
    // Time of sample i, in the unit of the axis.
    double sampleTime(int i) const { return i * (axisEnd() / SamplesPerFrame); }
};
TimeScale timeScale(int timeIndex);

// A voltage brought to V, mV or uV so that its value is at least 1 in that unit.
struct VoltScale {
    double value = 0;
    QString unit;
};
VoltScale scaleMicrovolts(double microvolts);

int effectiveGain(int gainIndex, int biasIndex, bool overVoltage);
// V/div of one item at a gain, in microvolts.
double vdivMicrovolts(int vdivIndex, int effGain);
VoltScale vdivScale(int vdivIndex, int effGain);
// Item text, "45mV" for example; rounded as the axis step.
QString vdivLabel(int vdivIndex, int effGain);
// The left axis runs -2 to +2 steps; one rounding, half away from zero, for step and label.
int vdivAxisStep(double value);
// Tracker decimals of a V/div value.
int vdivDecimals(double value);

// Trace value of one sample step: sample 110 is zero, 0 and 220 lie two divisions below and above.
constexpr double sampleFactor(double perDiv)
{
    return 2 * perDiv / ZeroSample;
}

struct AxisRange {
    double lo = 0;
    double hi = 0;
};
AxisRange spectrumAxis(int effGain);
// Frequency of spectrum point i; point 256 lies just above the top.
inline double spectrumHz(int i)
{
    return i * SpectrumTopHz / 255;
}

// Bias code on the link: 5 is 0 V, 0..4 negative, 6..10 positive.
quint8 biasCode(int biasIndex, bool negative);
struct BiasSetting {
    int index = 0;
    bool negative = false;
};
BiasSetting biasFromCode(quint8 code);
constexpr quint8 MaxBiasCode = 10;

} // namespace Lfa
