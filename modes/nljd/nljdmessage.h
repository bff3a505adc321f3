#pragma once

#include <QByteArray>
#include <QtGlobal>

struct PairRecord;

namespace Nljd
{
// Byte 1 of an "N" message when the line carries more than 3 V; also the stored harm2 then.
constexpr quint8 OverVoltage = 255;
constexpr quint8 MaxHarmonic = 250;
constexpr int LevelCount = 5;

// Takes an "N" message into the record of the selected pair. False (and nothing changed) when the
// message names other wires than the record's.
bool takeMessage(PairRecord& r, const QByteArray& data);

// Probing level index of a slider value in percent (20..100).
quint8 levelOfPercent(double percent);
// The command that sets the probing level: "N" 1 L.
QByteArray levelCommand(quint8 level);
} // namespace Nljd
