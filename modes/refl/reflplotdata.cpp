#include "reflplotdata.h"

namespace Refl
{

Axis axisFor(float factor)
{
    Axis a;
    a.range = 241.0 / double(factor) * 1.5;
    a.end = a.range < 240 ? a.range : 120;
    return a;
}

void fillCurves(double range, const Trace* trace1, const Trace* trace2, Samples& x, Samples& y1, Samples& y2)
{
    for (int j = 0; j < ReflSamples; ++j) {
        x[j] = range * (j + 1) / ReflSamples;
        if (x[j] < BlankedMetres) {
            y1[j] = 0;
            y2[j] = 0;
            continue;
        }
        y1[j] = trace1 ? (*trace1)[j] : HiddenCurve;
        y2[j] = trace2 ? (*trace2)[j] : HiddenCurve;
    }
}

} // namespace Refl
