#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// The firmware file: a 15-byte header ("847", three bytes, length A, one byte, count B, numbers
// little-endian) followed by the data, which goes to the analyser in blocks.
namespace Firmware
{
constexpr int HeaderSize = 15;
constexpr int BlockSize = 64;
// The block counter's start when the header's count is 0: in practice no boundary at all.
constexpr quint32 NoBoundary = 0xFFFFFFFFu;

struct Header {
    QByteArray bytes; // the 15 header bytes as read
    quint32 length = 0; // A, the base of the progress bar
    quint32 count = 0;  // B, where the first block boundary falls
};

// True when the bytes begin with the model digits "847".
bool hasMagic(const QByteArray& head);
// Reads the header; false when the bytes are not a firmware header (wrong magic or too short).
bool parseHeader(const QByteArray& head, Header* header);
// "D" followed by the header bytes, exactly as in the file.
QByteArray headerMessage(const Header& header);
} // namespace Firmware

// Cuts the firmware data into blocks. Each block holds up to 64 bytes, padded with zeros once the
// data are exhausted; the byte that finds the counter at 0 ends its block early and the counter
// wraps, so count B places one boundary.
class BlockShaper
{
public:
    BlockShaper() = default;
    BlockShaper(quint32 count, qint64 dataBytes);

    bool exhausted() const { return m_left <= 0; }
    qint64 bytesLeft() const { return m_left; }
    quint32 counter() const { return m_counter; }
    // "D" and the next block read from source; empty once nothing is left.
    QByteArray nextBlock(QIODevice& source);

private:
    quint32 m_counter = Firmware::NoBoundary;
    qint64 m_left = 0;
};

// Whole percent of the transfer: one percent per A / 99 bytes (at least one byte), never above 100.
class TransferProgress
{
public:
    explicit TransferProgress(quint32 length = 0);

    quint32 step() const { return m_step; }
    int percent() const { return int(m_percent); }
    // Counts one block; true when it crossed a step, so the bar and the analyser are told the percent
    // (again 100 once it is there).
    bool addBlock(quint32 bytes = Firmware::BlockSize);

private:
    quint32 m_step = 1;
    quint32 m_accumulator = 0;
    quint32 m_percent = 0;
};
