#include "cablesetup.h"

namespace
{
bool within(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

// Rows of the type and pin boxes, 1..4; 0 outside them.
int rowAt(int y)
{
    for (int r = 1; r <= 4; ++r) {
        const int top = 135 + 35 * (r - 1);
        if (within(y, top, top + 20))
            return r;
    }
    return 0;
}
} // namespace

quint8 CableSetup::twistedMask(quint8 type)
{
    static const quint8 masks[] = {0x18, 0x3C, 0x7E, 0xFF};
    return type < 4 ? masks[type] : AllWires;
}

bool CableSetup::press(int x, int y)
{
    if (within(y, 42, 124))
        return pressConnector(x);
    if (within(y, 285, 305)) {
        if (!within(x, 100, 250))
            return false;
        m_shield = !m_shield;
        return true;
    }
    const int row = rowAt(y);
    return row != 0 && pressRow(row, x);
}

bool CableSetup::pressConnector(int x)
{
    // Only the inactive panel's connector switches; both panels start with every wire on.
    if (within(x, 40, 164) && !twisted()) {
        setType(3, AllWires);
        return true;
    }
    if (within(x, 185, 309) && twisted()) {
        setType(NonTwisted, AllWires);
        return true;
    }
    return false;
}

bool CableSetup::pressRow(int row, int x)
{
    if (within(x, 63, 141) && twisted()) {
        const quint8 type = quint8(row - 1);
        if (type == m_type)
            return false;
        setType(type, twistedMask(type));
        return true;
    }
    if (twisted())
        return false;
    if (within(x, 191, 241)) {
        m_mask ^= quint8(1u << (row - 1));
        return true;
    }
    if (within(x, 253, 303)) {
        m_mask ^= quint8(1u << (row + 3));
        return true;
    }
    return false;
}

void CableSetup::setType(quint8 type, quint8 mask)
{
    m_type = type;
    m_mask = mask;
}
