#pragma once

#include "modes/refl/reflmessage.h"
#include "pairs/pairstore.h"

#include <QString>
#include <array>

namespace Refl
{

// A snapshot of one pair's REFL data, shown as "Set 1" or "Set 2". Whether its curve is drawn is
// kept by the window, which clears it on "clear all".
struct ReflSet {
    quint8 pair = 0; // 0 = empty set
    QString label;   // "wireA-wireB", empty for an empty set
    quint8 status = NoData;
    std::array<quint16, ReflDefects> defectDistance{};
    std::array<quint16, ReflDefects> defectLevel{};
    std::array<quint8, ReflSamples> trace{};
};

// "wireA-wireB" in decimal; empty for pair 0.
QString pairLabel(int pair, const PairRecord& r);
// The pair's status as a set or a comparison shows it: NoData without reflValid.
quint8 shownStatus(const PairRecord& r);

// Takes everything but the trace, which follows the plot.
void takeSnapshot(ReflSet& set, int pair, const PairRecord& r);
void emptySet(ReflSet& set);
// The reset the window asks for after start-up and "clear all": both statuses NoData, the inactive
// set emptied, the active one taken anew from the current pair. (The window hides both curves.)
void resetSets(std::array<ReflSet, 2>& sets, int active, int pair, const PairRecord& r);

} // namespace Refl
