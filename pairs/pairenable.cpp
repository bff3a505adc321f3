#include "pairenable.h"

#include "link/dispatchroute.h"
#include "pairs/pairnumbering.h"

namespace
{
bool wireIn(quint8 mask, quint8 wire)
{
    return wire >= 1 && wire <= 8 && (mask >> (wire - 1)) & 1;
}

bool markedPresent(const quint8* markers, int pair, quint8 absent)
{
    return markers && markers[pair] != absent;
}
} // namespace

bool pairEnabled(const PairEnableInputs& in, int pair, quint8 wireA, quint8 wireB)
{
    if (pair < 0 || pair > PairCount)
        return false;
    if (pair == 0) {
        if (wireA > 0 && !wireIn(in.wireMask, wireA))
            return false;
        if (wireB >= 1 && wireB <= 8 && !wireIn(in.wireMask, wireB))
            return false;
        return wireB != ShieldWire || in.shield;
    }
    // A loaded file decides on its own tab: only pairs it holds can be compared.
    if (in.nljdCompare && in.shownTab == Tab::Nljd)
        return markedPresent(in.nljdFileMarkers, pair, NljdAbsent);
    if (in.reflCompare && in.shownTab == Tab::Refl)
        return markedPresent(in.reflFileMarkers, pair, ReflAbsent);

    if (in.shownTab == Tab::Wrx && in.wrxMains && pair != 1)
        return false;
    const PairWires w = pairWires(pair);
    if (!wireIn(in.wireMask, w.a))
        return false;
    return w.b == ShieldWire ? in.shield : wireIn(in.wireMask, w.b);
}
