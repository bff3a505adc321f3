// Any bytes as a firmware file, through the transfer the Update tab runs: the header check, then one
// block per acknowledgement until nothing is left. Only a file that begins with "847" and holds the
// whole header starts, and a refused one sends nothing. The header message repeats the first 15
// bytes; the blocks reassemble to the data followed by zeros only in the last block; every block holds
// 64 bytes but the one that ends at the count's boundary; the percent rises by whole steps of A / 99
// bytes to at most 100; a further acknowledgement sends nothing and the verdict ends the transfer.
#include "firmware/firmwaretransfer.h"
#include "fuzzcommon.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

using Fuzz::check;

namespace
{
QTemporaryDir* dir = nullptr;
QString path;

QByteArray fileOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Only for the transfer's reply timer.
    static int argc = 1;
    static char name[] = "kv847-fuzz";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
    dir = Fuzz::scratchFolder();
    path = dir->filePath("input.bin");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::FileCpuLimitMs);
    const QByteArray content = fileOf(data, size);
    QFile f(path);
    check(f.open(QIODevice::WriteOnly) && f.write(content) == content.size(), "input written");
    f.close();

    FirmwareTransfer transfer;
    QList<QByteArray> sent;
    QList<int> shown;
    QObject::connect(&transfer, &FirmwareTransfer::send, [&](const QByteArray& p) { sent.append(p); });
    QObject::connect(&transfer, &FirmwareTransfer::progress, [&](int percent) { shown.append(percent); });
    int verdicts = 0;
    QObject::connect(&transfer, &FirmwareTransfer::ended, [&] { ++verdicts; });

    const bool firmware = content.startsWith("847") && content.size() >= Firmware::HeaderSize;
    const FirmwareTransfer::Start started = transfer.start(path);
    if (!firmware) {
        check(started == FirmwareTransfer::Start::NotFirmware, "a file that is no firmware is refused");
        check(sent.isEmpty() && shown.isEmpty() && !transfer.running(), "a refused file sends nothing");
        transfer.reply(0);
        check(sent.isEmpty() && verdicts == 0, "no transfer, no block");
        return 0;
    }
    check(started == FirmwareTransfer::Start::Started && transfer.running(), "a firmware file starts");
    check(sent.size() == 2 && sent[0] == "D" + content.left(Firmware::HeaderSize) &&
              sent[1] == QByteArray("P\x00", 2),
          "the header as read, then progress 0");
    check(shown == QList<int>{0}, "the bar starts at 0");

    const auto* raw = reinterpret_cast<const uchar*>(content.constData());
    const quint32 length = qFromLittleEndian<quint32>(raw + 6);
    const quint32 count = qFromLittleEndian<quint32>(raw + 11);
    const QByteArray payload = content.mid(Firmware::HeaderSize);
    const quint32 step = std::max<quint32>(length / 99, 1);

    // Acknowledge until the data are out; each acknowledgement sends one block at most.
    QByteArray reassembled;
    int blocks = 0;
    int lastPercent = 0;
    for (int guard = 0; guard <= payload.size() + 1; ++guard) {
        sent.clear();
        shown.clear();
        transfer.reply(0);
        if (sent.isEmpty())
            break;
        const QByteArray& block = sent[0];
        check(block.size() >= 2 && block.size() <= 1 + Firmware::BlockSize && block[0] == 'D',
              "a block is D and 1 to 64 bytes");
        check(reassembled.size() < payload.size(), "no block after the data are out");
        const qint64 before = reassembled.size();
        reassembled += block.mid(1);
        ++blocks;
        // The block that holds byte count + 1 ends there; every other one is full.
        const qint64 boundary = count == 0 ? -1 : qint64(count) + 1;
        if (boundary > before && boundary <= before + Firmware::BlockSize)
            check(reassembled.size() == boundary, "the block at the count's boundary ends there");
        else
            check(block.size() == 1 + Firmware::BlockSize, "every other block is full");

        const quint64 total = quint64(blocks) * Firmware::BlockSize;
        const int percent = int(std::min<quint64>(100, total / step));
        const bool crossed = total / step > (total - Firmware::BlockSize) / step;
        if (crossed) {
            check(sent.size() == 2 && sent[1] == QByteArray(1, 'P') + char(percent), "the percent is sent");
            check(shown == QList<int>{percent}, "and shown");
        } else {
            check(sent.size() == 1 && shown.isEmpty(), "no percent without a step");
        }
        check(percent >= lastPercent && percent <= 100, "the percent rises to 100 at most");
        lastPercent = percent;
    }
    check(reassembled.size() >= payload.size() && reassembled.startsWith(payload), "the blocks give the data");
    check(reassembled.size() - payload.size() < Firmware::BlockSize &&
              reassembled.mid(payload.size()).count('\0') == reassembled.size() - payload.size(),
          "padded with zeros within the last block");
    sent.clear();
    transfer.reply(0);
    check(sent.isEmpty() && transfer.running(), "a further acknowledgement sends nothing");
    transfer.reply(FirmwareTransfer::ReplyDone);
    check(verdicts == 1 && !transfer.running(), "the verdict ends the transfer");
    transfer.finish();
    return 0;
}
