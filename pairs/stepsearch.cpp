#include "stepsearch.h"

#include "pairs/pairnumbering.h"

ScanStep stepSearch(int currentPair, int stepCount, const std::function<bool(int)>& enabled)
{
    int pair = currentPair;
    int steps = stepCount;
    for (;;) {
        ++steps;
        ++pair;
        if (steps >= ScanRound && pair > PairCount)
            return {0, steps, true};
        if (pair > PairCount) {
            pair = 1;
            ++steps; // the wrap counts as a step
        }
        if (enabled(pair))
            return {pair, steps, steps >= ScanRound};
        // The pair the round should end on was switched off: finish with none instead of going round
        // for ever.
        if (steps >= ScanRound)
            return {0, steps, true};
    }
}
