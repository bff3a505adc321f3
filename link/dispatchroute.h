#pragma once

#include <QByteArray>
#include <QtGlobal>

// Where a message from the analyser goes. The measurement kinds reach their mode only while that
// mode's tab is shown and a pair is selected; progress only on the NLJD and REFL tabs.
enum class Route { Ignore, KeepAlive, Status, Battery, Progress, Firmware, Lfa, LfaVoltage, Wrx, Nljd, Refl };

namespace Tab
{
constexpr int Lfa = 0, Wrx = 1, Nljd = 2, Refl = 3, Report = 4, Update = 5;
}

Route routeFor(const QByteArray& payload, int shownTab, bool pairSelected);

// Byte i of a delivered payload; a field past the end reads as 0.
inline quint8 byteAt(const QByteArray& payload, int i)
{
    return i >= 0 && i < payload.size() ? quint8(payload.at(i)) : 0;
}
