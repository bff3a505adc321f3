#include "mode_firmware.h"

#include <QtEndian>

#include <utility>

namespace
{
constexpr int HeaderBytes = 15;
constexpr int MaxBlock = 64;
} // namespace

FirmwareMode::FirmwareMode()
{
    m_flash.setSingleShot(true);
    m_flash.setInterval(FlashWriteMs);
    QObject::connect(&m_flash, &QTimer::timeout, [this] {
        const QList<QByteArray> written = std::exchange(m_writing, {});
        if (m_analyser && m_analyser->isConnected())
            for (const QByteArray& payload : written)
                take(*m_analyser, payload);
    });
}

bool FirmwareMode::command(VirtualAnalyser& analyser, const QByteArray& payload)
{
    if (analyser.mode() != VirtualAnalyser::ModeFirmware || payload.isEmpty())
        return false;
    if (payload.at(0) == 'P') {
        if (payload.size() >= 2)
            m_percent = quint8(payload.at(1));
        return true;
    }
    if (payload.at(0) != 'D')
        return false;
    if (analyser.autoTalk()) {
        m_analyser = &analyser;
        m_writing.append(payload);
        if (!m_flash.isActive())
            m_flash.start();
    } else {
        take(analyser, payload);
    }
    return true;
}

void FirmwareMode::take(VirtualAnalyser& analyser, const QByteArray& payload)
{
    if (m_receiving)
        block(analyser, payload);
    else
        header(analyser, payload);
}

void FirmwareMode::left(VirtualAnalyser&)
{
    m_flash.stop();
    m_writing.clear();
    reset();
}

void FirmwareMode::setFault(Fault fault, int afterBlocks)
{
    m_fault = fault;
    m_faultAfter = afterBlocks;
}

void FirmwareMode::header(VirtualAnalyser& analyser, const QByteArray& payload)
{
    const QByteArray head = payload.mid(1);
    const auto* raw = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() != HeaderBytes || !head.startsWith("847") || qFromLittleEndian<quint32>(raw + 6) == 0) {
        reply(analyser, Failed);
        return;
    }
    reset();
    m_receiving = true;
    m_expected = qFromLittleEndian<quint32>(raw + 6);
    m_newMajor = raw[3];
    m_newMinor = raw[4];
    reply(analyser, Acknowledge);
}

void FirmwareMode::block(VirtualAnalyser& analyser, const QByteArray& payload)
{
    const int size = payload.size() - 1;
    if (size < 1 || size > MaxBlock) {
        reset();
        reply(analyser, Failed);
        return;
    }
    m_received += size;
    ++m_blocks;
    if (m_fault != Fault::None && m_blocks >= m_faultAfter) {
        // Once only, so that a retry goes through.
        const Fault fault = m_fault;
        m_fault = Fault::None;
        reset();
        switch (fault) {
        case Fault::Refuse:
            reply(analyser, Failed);
            return;
        case Fault::Silence:
            return;
        case Fault::DropLink:
            analyser.dropLink();
            return;
        case Fault::None:
            break;
        }
    }
    if (m_received < qint64(m_expected)) {
        reply(analyser, Acknowledge);
        return;
    }
    reset();
    reply(analyser, Done);
    // A real analyser reboots into the new firmware: it forgets the host until asked to connect.
    analyser.setFirmwareVersion(m_newMajor, m_newMinor);
    analyser.hostLost();
}

void FirmwareMode::reply(VirtualAnalyser& analyser, quint8 code)
{
    analyser.send(QByteArray(1, 'D') + char(code));
}

void FirmwareMode::reset()
{
    m_receiving = false;
    m_received = 0;
    m_blocks = 0;
    m_expected = 0;
}

QByteArray FirmwareMode::demoImage(quint8 major, quint8 minor, int dataBytes, quint32 count)
{
    QByteArray image("847");
    image.append(char(major)).append(char(minor)).append('\0');
    uchar number[4];
    qToLittleEndian<quint32>(quint32(dataBytes), number);
    image.append(reinterpret_cast<const char*>(number), 4);
    image.append('\0');
    qToLittleEndian<quint32>(count, number);
    image.append(reinterpret_cast<const char*>(number), 4);
    // Recognisable filler, different in every block.
    for (int i = 0; i < dataBytes; ++i)
        image.append(char((i * 7 + i / 64) & 0xFF));
    return image;
}
