#pragma once

#include <QtGlobal>

// The cable the analyser is plugged into: its type, the wires in use and the shield. Presses on the
// cable switch widget change it; the zones are in widget pixels.
class CableSetup
{
public:
    static constexpr quint8 NonTwisted = 10;
    static constexpr quint8 AllWires = 0xFF;

    quint8 cableType() const { return m_type; }
    quint8 wireMask() const { return m_mask; }
    bool shield() const { return m_shield; }
    bool twisted() const { return m_type < NonTwisted; }
    bool wireOn(int wire) const { return wireIn(m_mask, wire); }
    // Bit w-1 of the mask stands for wire w; the shield is not in it.
    static bool wireIn(quint8 mask, int wire) { return wire >= 1 && wire <= 8 && (mask >> (wire - 1)) & 1; }

    // Fixed wires of the twisted types 0..3 (2, 4, 6, 8 wires).
    static quint8 twistedMask(quint8 type);

    // True when the press changed something.
    bool press(int x, int y);

private:
    bool pressConnector(int x);
    bool pressRow(int row, int x);
    void setType(quint8 type, quint8 mask);

    quint8 m_type = 3;
    quint8 m_mask = AllWires;
    bool m_shield = true;
};
