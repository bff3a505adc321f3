#pragma once

#include <QtGlobal>

// What decides whether a pair may be measured. The cable set-up comes from the cable switch widget;
// the rest belongs to the modes and is handed in, so this test knows none of them.
struct PairEnableInputs {
    quint8 wireMask = 0xFF; // bit n-1 = wire n connected
    bool shield = true;
    int shownTab = 0;
    bool wrxMains = false; // receiver mains filter: only pair 1 is measured then
    bool nljdCompare = false;
    bool reflCompare = false;
    const quint8* nljdFileMarkers = nullptr; // per pair 0..36, 255 = not in the loaded file
    const quint8* reflFileMarkers = nullptr; // per pair 0..36, 251 = not in the loaded file
};

constexpr quint8 NljdAbsent = 255;
constexpr quint8 ReflAbsent = 251;

// For pair 0 only the given wires are checked against the cable set-up.
bool pairEnabled(const PairEnableInputs& in, int pair, quint8 wireA = 0, quint8 wireB = 0);
