#pragma once

#include "pairs/pairnumbering.h"

#include <array>

class PairStore;

namespace Refl
{

// What one pair's REFL indicator shows: the distance of its strongest defect in metres and a state,
// 1..210 the bar length (210 = the strongest defect of all pairs), 252..254 the line states, 0 nothing.
struct IndicatorState {
    float distance = 0;
    quint8 state = 0;
};

constexpr int FullBar = 210;

// States of pairs 1..36 (index = pair number; index 0 stays empty).
std::array<IndicatorState, PairCount + 1> indicatorStates(const PairStore& pairs);

} // namespace Refl
