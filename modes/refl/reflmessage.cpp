#include "reflmessage.h"

#include "link/dispatchroute.h"
#include "pairs/pairstore.h"

#include <algorithm>

namespace Refl
{

namespace
{
enum Kind : quint8 { Measuring = 0, DefectList = 1, Voltage = 3, NoisyLine = 4, TraceChunk = 6 };

void takeDefects(const QByteArray& msg, ReflPairData& refl)
{
    // Exactly two bytes cannot carry a count; the analyser means "no defects".
    const quint8 n = msg.size() == 2 ? 0 : byteAt(msg, 2);
    if (n == 0) {
        refl.status = NoDefects;
        return;
    }
    const int kept = std::min<int>(n, ReflDefects);
    refl.status = quint8(kept);
    for (int k = 0; k < kept; ++k) {
        const int at = 5 + 3 * k;
        refl.defectDistance[k] = quint16(byteAt(msg, at) + 256 * byteAt(msg, at + 1));
        refl.defectLevel[k] = byteAt(msg, at + 2);
    }
}

void takeChunk(const QByteArray& msg, ReflPairData& refl)
{
    const quint8 c = byteAt(msg, 2);
    for (int i = 0; i < ChunkSamples; ++i)
        refl.trace[c * ChunkSamples + i] = byteAt(msg, 5 + i);
}
} // namespace

TEffect takeMessage(const QByteArray& msg, PairRecord& pair)
{
    if (byteAt(msg, 3) != pair.wireA || byteAt(msg, 4) != pair.wireB)
        return TEffect::Ignored;
    if (msg.size() < 2 || byteAt(msg, 1) == Measuring)
        return TEffect::Measuring;
    // A chunk that belongs nowhere in the trace is dropped whole.
    if (byteAt(msg, 1) == TraceChunk && byteAt(msg, 2) >= ReflSamples / ChunkSamples)
        return TEffect::Ignored;

    pair.dataFlags |= DataFlag::reflValid;
    ReflPairData& refl = pair.refl;
    switch (byteAt(msg, 1)) {
    case Voltage:
        refl.status = OverVoltage;
        return TEffect::Result;
    case NoisyLine:
        refl.status = Noise;
        return TEffect::Result;
    case DefectList:
        takeDefects(msg, refl);
        return TEffect::Result;
    case TraceChunk:
        takeChunk(msg, refl);
        return TEffect::Chunk;
    default:
        return TEffect::Other;
    }
}

} // namespace Refl
