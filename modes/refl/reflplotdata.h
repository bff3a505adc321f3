#pragma once

#include "pairs/pairstore.h"

#include <array>

namespace Refl
{

// The distance axis of the reflectogram for a velocity factor: the 512 samples span `range`
// metres; the axis shows at most 0..120 m.
struct Axis {
    double range = 0;
    double end = 0;
    double step = 20;
};
Axis axisFor(float factor);

constexpr double BlankedMetres = 2.5; // the probe pulse itself, drawn at 0
constexpr double HiddenCurve = -10;   // below the axis: a curve that is not shown

using Samples = std::array<double, ReflSamples>;
using Trace = std::array<quint8, ReflSamples>;

// x in metres and both curves; a null trace draws its curve below the axis.
void fillCurves(double range, const Trace* trace1, const Trace* trace2, Samples& x, Samples& y1, Samples& y2);

} // namespace Refl
