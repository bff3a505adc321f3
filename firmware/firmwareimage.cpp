#include "firmwareimage.h"

#include <QIODevice>
#include <QtEndian>

namespace Firmware
{
bool hasMagic(const QByteArray& head)
{
    return head.startsWith("847");
}

bool parseHeader(const QByteArray& head, Header* header)
{
    if (!hasMagic(head) || head.size() < HeaderSize)
        return false;
    header->bytes = head.left(HeaderSize);
    const auto* raw = reinterpret_cast<const uchar*>(header->bytes.constData());
    header->length = qFromLittleEndian<quint32>(raw + 6);
    header->count = qFromLittleEndian<quint32>(raw + 11);
    return true;
}

QByteArray headerMessage(const Header& header)
{
    return QByteArray(1, 'D') + header.bytes;
}
} // namespace Firmware

BlockShaper::BlockShaper(quint32 count, qint64 dataBytes)
    : m_counter(count == 0 ? Firmware::NoBoundary : count), m_left(dataBytes)
{
}

QByteArray BlockShaper::nextBlock(QIODevice& source)
{
    if (exhausted())
        return QByteArray();
    QByteArray block(1, 'D');
    block.reserve(1 + Firmware::BlockSize);
    for (int i = 0; i < Firmware::BlockSize; ++i) {
        char c = 0;
        if (m_left > 0) {
            if (!source.getChar(&c))
                c = 0;
            --m_left;
        }
        block.append(c);
        if (m_counter == 0) {
            m_counter = Firmware::NoBoundary;
            break;
        }
        --m_counter;
    }
    return block;
}

TransferProgress::TransferProgress(quint32 length) : m_step(qMax<quint32>(length / 99, 1)) {}

bool TransferProgress::addBlock(quint32 bytes)
{
    m_accumulator += bytes;
    if (m_accumulator < m_step)
        return false;
    while (m_accumulator >= m_step) {
        m_accumulator -= m_step;
        if (m_percent <= 99)
            ++m_percent;
    }
    return true;
}
