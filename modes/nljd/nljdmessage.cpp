#include "nljdmessage.h"

#include "link/dispatchroute.h"
#include "pairs/pairstore.h"

namespace Nljd
{

bool takeMessage(PairRecord& r, const QByteArray& data)
{
    if (byteAt(data, 4) != r.wireA || byteAt(data, 5) != r.wireB)
        return false;
    r.dataFlags |= DataFlag::nljdValid;
    NljdPairData& n = r.nljd;
    if (data.size() > 1 && byteAt(data, 1) == OverVoltage) {
        n.harm2 = OverVoltage;
    } else if (n.harm2 >= 1 && n.harm2 <= MaxHarmonic) {
        // A running average; it restarts from the raw reading after a gap or an over-voltage.
        n.harm2 = quint8((3 * n.harm2 + byteAt(data, 2)) >> 2);
        n.harm3 = quint8((3 * n.harm3 + byteAt(data, 3)) >> 2);
    } else {
        n.harm2 = byteAt(data, 2);
        n.harm3 = byteAt(data, 3);
    }
    n.level = byteAt(data, 6);
    return true;
}

quint8 levelOfPercent(double percent)
{
    return quint8(int(percent / 20) - 1);
}

QByteArray levelCommand(quint8 level)
{
    return QByteArray("N\x01", 2) + char(level);
}

} // namespace Nljd
