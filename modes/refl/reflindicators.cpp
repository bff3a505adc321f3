#include "reflindicators.h"

#include "pairs/pairstore.h"

#include <algorithm>

namespace Refl
{

namespace
{
struct Strongest {
    quint16 level = 0;
    quint16 distance = 0;
};

// The defect with the highest level; the first one on a tie.
Strongest strongestDefect(const ReflPairData& refl)
{
    Strongest s;
    const int n = std::min<int>(refl.status, ReflDefects);
    for (int k = 0; k < n; ++k)
        if (k == 0 || refl.defectLevel[k] > s.level)
            s = {refl.defectLevel[k], refl.defectDistance[k]};
    return s;
}
} // namespace

std::array<IndicatorState, PairCount + 1> indicatorStates(const PairStore& pairs)
{
    std::array<IndicatorState, PairCount + 1> out{};
    std::array<Strongest, PairCount + 1> strongest{};
    unsigned largest = 0;
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& r = pairs[p];
        if (!(r.dataFlags & DataFlag::reflValid) || r.refl.status > 240)
            continue;
        strongest[p] = strongestDefect(r.refl);
        largest = std::max<unsigned>(largest, strongest[p].level);
    }
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& r = pairs[p];
        if (!(r.dataFlags & DataFlag::reflValid))
            continue;
        if (r.refl.status > 240) {
            out[p].state = r.refl.status;
            continue;
        }
        const Strongest& s = strongest[p];
        out[p].distance = s.distance / 10.0f;
        out[p].state = s.level != 0 ? quint8(s.level * unsigned(FullBar) / largest) : 0;
    }
    return out;
}

} // namespace Refl
