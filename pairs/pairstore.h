#pragma once

#include "pairs/pairnumbering.h"

#include <QtGlobal>
#include <array>

// Bits of PairRecord::dataFlags.
namespace DataFlag
{
constexpr quint8 lfaValid = 1;  // line voltages measured
constexpr quint8 wrxValid = 2;  // signal search result complete
constexpr quint8 nljdValid = 4; // harmonics present
constexpr quint8 reflValid = 8; // reflectogram present
} // namespace DataFlag

constexpr int MaxSignals = 255;
constexpr int ReflDefects = 10;
constexpr int ReflSamples = 512;

struct NljdPairData {
    quint8 level = 0; // probing level index 0..4
    quint8 harm2 = 0; // 0..250; 255 = over 3 V on the line
    quint8 harm3 = 0;
};

struct ReflPairData {
    quint8 status = 0; // 1..10 defects, 250 no data, 252 none, 253 noise, 254 over 3 V
    std::array<quint16, ReflDefects> defectDistance{}; // tenths of a metre
    std::array<quint16, ReflDefects> defectLevel{};    // dB
    std::array<quint8, ReflSamples> trace{};
};

// Everything kept for one pair, in the order the modes know it by.
struct PairRecord {
    quint8 wireA = 0;
    quint8 wireB = 0; // 9 = shield
    quint8 dataFlags = 0;
    quint8 statusA = 0;
    float dcVoltage = 0; // volts
    float acVoltage = 0; // volts
    quint8 statusB = 0;
    quint8 statusC = 0;
    quint8 signalCount = 0;
    quint8 excluded = 0;
    std::array<quint16, MaxSignals> signalFreq{}; // frequency codes, 10 kHz units
    std::array<quint16, MaxSignals> signalLevel{};
    std::array<quint8, MaxSignals> occurrence{};
    quint8 uniqueCount = 0;
    NljdPairData nljd;
    ReflPairData refl;
};

// One record per pair number 0..36; record 0 stands for no pair.
class PairStore
{
public:
    PairStore();

    PairRecord& operator[](int pair) { return m_records[index(pair)]; }
    const PairRecord& operator[](int pair) const { return m_records[index(pair)]; }

    // Wires in pair-number order; flags and exclusion cleared with them.
    void fillWires();
    // Forgets what was measured on pairs 1..36.
    void clearMeasurements();

private:
    static int index(int pair) { return pair >= 0 && pair <= PairCount ? pair : 0; }

    std::array<PairRecord, PairCount + 1> m_records;
};
