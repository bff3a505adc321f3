#pragma once

#include <functional>

// One step of the pair scan: from the current pair to the next enabled one, wrapping after 36.
// A full round is 37 steps; the scan ends when a step reaches it.
struct ScanStep {
    int candidate = 0; // pair to select, 0 = none
    int stepCount = 0; // steps taken by the scan so far
    bool ends = false; // the round is complete: the scan stops
};

constexpr int ScanRound = 37;

ScanStep stepSearch(int currentPair, int stepCount, const std::function<bool(int)>& enabled);
