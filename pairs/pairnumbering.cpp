#include "pairnumbering.h"

PairWires pairWires(int pair)
{
    if (pair < 1 || pair > PairCount)
        return {};
    if (pair > 28)
        return {quint8(pair - 28), ShieldWire};
    int n = pair;
    for (quint8 a = 1; a <= 7; ++a) {
        const int row = 8 - a;
        if (n <= row)
            return {a, quint8(a + n)};
        n -= row;
    }
    return {};
}

quint8 pairNumberOf(quint8 wireA, quint8 wireB)
{
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        if (w.a == wireA && w.b == wireB)
            return quint8(p);
    }
    return 0;
}
