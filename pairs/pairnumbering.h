#pragma once

#include <QtGlobal>

// Pairs 1..28 are the wire pairs (a, b), a < b, in the order (1,2), (1,3) .. (7,8); pairs 29..36 are
// wires 1..8 against the shield, stored as wire 9. Pair 0 is no pair.
constexpr int PairCount = 36;
constexpr quint8 ShieldWire = 9;

struct PairWires {
    quint8 a = 0;
    quint8 b = 0;
};

PairWires pairWires(int pair);
// The pair of the wires in this order; (2,1) is no pair, and unknown wires give 0.
quint8 pairNumberOf(quint8 wireA, quint8 wireB);
