#include "firmwaretransfer.h"

FirmwareTransfer::FirmwareTransfer(QObject* parent) : QObject(parent)
{
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setInterval(DefaultReplyTimeoutMs);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] { end(Outcome::Failed); });
}

FirmwareTransfer::Start FirmwareTransfer::start(const QString& path)
{
    if (m_running)
        return Start::Busy;
    finish();
    if (path.isEmpty())
        return Start::NotFirmware;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return Start::CannotOpen;
    Firmware::Header header;
    if (!Firmware::parseHeader(m_file.read(Firmware::HeaderSize), &header)) {
        m_file.close();
        return Start::NotFirmware;
    }
    m_blocks = BlockShaper(header.count, m_file.size() - Firmware::HeaderSize);
    m_progress = TransferProgress(header.length);
    m_running = true;
    m_replyTimer.start();
    emit send(Firmware::headerMessage(header));
    emit progress(0);
    emit send(QByteArray("P\x00", 2));
    return Start::Started;
}

void FirmwareTransfer::nextBlock()
{
    if (!m_running || m_blocks.exhausted())
        return;
    emit send(m_blocks.nextBlock(m_file));
    // Sending may have lost the link, which ends the transfer.
    if (!m_running)
        return;
    if (m_progress.addBlock()) {
        emit progress(m_progress.percent());
        emit send(QByteArray(1, 'P') + char(m_progress.percent()));
    }
}

void FirmwareTransfer::reply(quint8 code)
{
    if (!m_running)
        return;
    switch (code) {
    case ReplyFailed:
        end(Outcome::Failed);
        return;
    case ReplyDone:
        end(Outcome::Done);
        return;
    case ReplyEnded:
        end(Outcome::Ended);
        return;
    default:
        // Also after the last block: the verdict must follow within the same wait.
        m_replyTimer.start();
        nextBlock();
        return;
    }
}

void FirmwareTransfer::linkLost()
{
    if (m_running)
        end(Outcome::Failed);
}

void FirmwareTransfer::finish()
{
    m_replyTimer.stop();
    m_running = false;
    if (m_file.isOpen())
        m_file.close();
}

void FirmwareTransfer::end(Outcome outcome)
{
    m_replyTimer.stop();
    m_running = false;
    emit ended(outcome);
}
