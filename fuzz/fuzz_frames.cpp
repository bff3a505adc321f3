// Any byte stream into the frame receiver: it must never crash or overrun, every delivered payload
// ends with the added zero, and re-encoding a delivered payload gives it back unchanged.
#include "fuzzcommon.h"
#include "link/framecodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::FileCpuLimitMs);
    FrameReceiver rx;
    for (size_t i = 0; i < size; ++i) {
        if (!rx.feed(data[i]))
            continue;
        const QByteArray delivered = rx.takePayload();
        if (delivered.isEmpty() || delivered.size() > 256 || delivered.back() != '\0')
            std::abort();
        const QByteArray payload = delivered.left(delivered.size() - 1);
        FrameReceiver again;
        QByteArray back;
        for (char c : Frame::encodeAnyLength(payload))
            if (again.feed(quint8(c)))
                back = again.takePayload();
        if (back != delivered)
            std::abort();
    }
    return 0;
}
