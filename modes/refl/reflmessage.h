#pragma once

#include <QByteArray>
#include <QtGlobal>

struct PairRecord;

namespace Refl
{

// Status codes of a pair's REFL data, of a measurement set and of a file record.
constexpr quint8 NoData = 250;
constexpr quint8 Excluded = 251;
constexpr quint8 NoDefects = 252;
constexpr quint8 Noise = 253;
constexpr quint8 OverVoltage = 254;
// Statuses up to this one are defect lists that carry a trace.
constexpr quint8 LastListStatus = 249;
constexpr int ChunkSamples = 128;

// What a "T" message turned out to be for the selected pair.
enum class TEffect {
    Ignored,   // for another pair
    Measuring, // the analyser started measuring
    Result,    // defect list, noise or over-voltage stored
    Chunk,     // trace samples stored (or dropped); no redraw, no scan step
    Other      // a kind the program does not know: marks the pair, changes nothing else
};

// Takes a "T" message (as delivered, trailing zero included) into the selected pair's record:
// checks the wires, sets reflValid for everything but the measuring notice and stores what it
// carries. A defect count above 10 keeps the first 10 (status 10); a chunk number above 3 is dropped.
TEffect takeMessage(const QByteArray& msg, PairRecord& pair);

} // namespace Refl
