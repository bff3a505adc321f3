#pragma once

#include "modes/refl/reflcompare.h"
#include "modes/refl/reflfactor.h"
#include "modes/refl/reflfile.h"
#include "modes/refl/reflplotdata.h"
#include "modes/refl/reflsets.h"

#include <array>

// What the REFL mode keeps for the whole run, beside the pair records: the two measurement sets,
// the factors, the loaded file, the comparison results and the curves' samples.
struct ReflModeState {
    std::array<Refl::ReflSet, 2> sets;
    int activeSet = 0;                         // 0 = Set 1 receives new measurements
    float reflFactor = Refl::InitialFactor;    // reported by the analyser or applied by the user
    float appliedFactor = Refl::InitialFactor; // changed only by the user's factor change
    Refl::ReflFileData file;
    bool fileLoaded = false;
    std::array<quint8, PairCount + 1> compareResult{}; // last verdict per pair, 0 = agreement
    std::array<Refl::DefectMarks, PairCount + 1> marks;
    // The curves read these in place.
    Refl::Samples x{}, y1{}, y2{};
};
