#include "pairstore.h"

PairStore::PairStore()
{
    fillWires();
}

void PairStore::fillWires()
{
    for (int p = 0; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        PairRecord& r = m_records[p];
        r.wireA = w.a;
        r.wireB = w.b;
        r.dataFlags = 0;
        r.excluded = 0;
    }
}

void PairStore::clearMeasurements()
{
    for (int p = 1; p <= PairCount; ++p) {
        PairRecord& r = m_records[p];
        r.dataFlags = 0;
        r.nljd.harm2 = 0;
        r.nljd.harm3 = 0;
        // 0, not "unsearched": a cleared pair must show no stale signal list.
        r.signalCount = 0;
        r.refl.trace.fill(0);
    }
}
