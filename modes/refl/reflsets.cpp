#include "reflsets.h"

namespace Refl
{

QString pairLabel(int pair, const PairRecord& r)
{
    if (pair == 0)
        return QString();
    return QString::number(r.wireA) + "-" + QString::number(r.wireB);
}

quint8 shownStatus(const PairRecord& r)
{
    return (r.dataFlags & DataFlag::reflValid) ? r.refl.status : NoData;
}

void takeSnapshot(ReflSet& set, int pair, const PairRecord& r)
{
    set.pair = quint8(pair);
    set.label = pairLabel(pair, r);
    set.status = shownStatus(r);
    set.defectDistance = r.refl.defectDistance;
    set.defectLevel = r.refl.defectLevel;
}

void emptySet(ReflSet& set)
{
    set.pair = 0;
    set.label.clear();
}

void resetSets(std::array<ReflSet, 2>& sets, int active, int pair, const PairRecord& r)
{
    for (ReflSet& s : sets)
        s.status = NoData;
    emptySet(sets[1 - active]);
    takeSnapshot(sets[active], pair, r);
}

} // namespace Refl
