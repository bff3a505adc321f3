#include "pairenable.h"

#include "link/dispatchroute.h"
#include "pairs/cablesetup.h"
#include "pairs/pairnumbering.h"

namespace
{
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
        if (wireA > 0 && !CableSetup::wireIn(in.wireMask, wireA))
            return false;
        if (wireB >= 1 && wireB <= 8 && !CableSetup::wireIn(in.wireMask, wireB))
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
    if (!CableSetup::wireIn(in.wireMask, w.a))
        return false;
    return w.b == ShieldWire ? in.shield : CableSetup::wireIn(in.wireMask, w.b);
}
