#include "lfascale.h"

#include <cmath>
#include <cstdlib>

namespace Lfa
{

TimeScale timeScale(int timeIndex)
{
    const int us = TimeBaseUs.at(std::size_t(timeIndex));
    if (us >= 1000)
        return {us / 1000.0, 1, QStringLiteral("ms")};
    return {double(us), 0, QStringLiteral("us")};
}

VoltScale scaleMicrovolts(double microvolts)
{
    if (microvolts >= 1000000)
        return {microvolts / 1000000, QStringLiteral("V")};
    if (microvolts >= 1000)
        return {microvolts / 1000, QStringLiteral("mV")};
    return {microvolts, QStringLiteral("uV")};
}

int effectiveGain(int gainIndex, int biasIndex, bool overVoltage)
{
    return gainIndex >= FirstLimitedItem && (biasIndex > 0 || overVoltage) ? LimitedGain : gainIndex;
}

double vdivMicrovolts(int vdivIndex, int effGain)
{
    return double(VoltsPerDivUv.at(std::size_t(vdivIndex))) / GainDivisor.at(std::size_t(effGain));
}

VoltScale vdivScale(int vdivIndex, int effGain)
{
    return scaleMicrovolts(vdivMicrovolts(vdivIndex, effGain));
}

QString vdivLabel(int vdivIndex, int effGain)
{
    const VoltScale v = vdivScale(vdivIndex, effGain);
    return QString::number(vdivAxisStep(v.value)) + v.unit;
}

int vdivAxisStep(double value)
{
    return int(std::lround(value));
}

int vdivDecimals(double value)
{
    return value >= 50 ? 0 : value >= 10 ? 1 : 2;
}

AxisRange spectrumAxis(int effGain)
{
    if (effGain == LimitedGain)
        return {15, 115};
    return {30.0 - 5 * effGain, 130.0 - 5 * effGain};
}

quint8 biasCode(int biasIndex, bool negative)
{
    const int polarity = negative ? 1 : -1;
    return quint8(5 - biasIndex * polarity);
}

BiasSetting biasFromCode(quint8 code)
{
    return {std::abs(int(code) - 5), code <= 4};
}

} // namespace Lfa
