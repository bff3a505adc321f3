#pragma once

#include "firmware/firmwareimage.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QTimer>

// One firmware transfer to the analyser: the header, then one block per acknowledgement, until the
// analyser gives its verdict. Owns the open file and the transfer state. An analyser that stops
// answering, or a link that goes away, ends the transfer as a failure, so nothing ever hangs.
class FirmwareTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultReplyTimeoutMs = 30000;

    enum class Start { Started, CannotOpen, NotFirmware, Busy };
    enum class Outcome { Failed, Done, Ended };
    // Reply codes of the analyser; any other code acknowledges and asks for the next block.
    enum Reply : quint8 { ReplyFailed = 1, ReplyEnded = 4, ReplyDone = 7 };

    explicit FirmwareTransfer(QObject* parent = nullptr);

    bool running() const { return m_running; }
    int percent() const { return m_progress.percent(); }
    // How long to wait for a reply to the header or a block before giving up.
    void setReplyTimeout(int ms) { m_replyTimer.setInterval(ms); }
    int replyTimeout() const { return m_replyTimer.interval(); }

    // Checks the file and sends the header and the progress 0. An empty path is not a firmware.
    Start start(const QString& path);
    // Sends the next block, if any byte is left.
    void nextBlock();
    // A "D" reply of the analyser; ignored while no transfer runs.
    void reply(quint8 code);
    // The port went away.
    void linkLost();
    // Closes the file; the transfer state is forgotten.
    void finish();

signals:
    void send(const QByteArray& payload);
    void progress(int percent);
    // The transfer is over; the owner clears its busy state, tells the user and calls finish().
    void ended(FirmwareTransfer::Outcome outcome);

private:
    void end(Outcome outcome);

    QFile m_file;
    BlockShaper m_blocks;
    TransferProgress m_progress;
    QTimer m_replyTimer;
    bool m_running = false;
};
