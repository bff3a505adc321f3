#pragma once

#include "framecodec.h"
#include "memoryport.h"
#include "linkrecording.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

// Plays the analyser's side of a recording. It is listed as the analyser's bridge until the recording
// has ended; the clock starts when the program first opens it, at the first record, and runs at the
// recorded pace times the speed. Bytes due while the port is closed are lost, as with a real device.
// What the program writes is compared with what the program of the recording wrote (keep-alive polls
// aside, their count follows the clock); every difference is logged. At the end the port reports a
// resource error, as an unplugged device does, and is no longer listed.
class ReplayAnalyserPort : public MemoryAnalyserPort
{
    Q_OBJECT
public:
    static QString replayPortName() { return QStringLiteral("replay"); }
    // How far ahead a sent command is looked for among the recorded ones before it counts as extra.
    static constexpr int Lookahead = 16;

    ReplayAnalyserPort(const LinkRecording& recording, double speed, QObject* parent = nullptr);

    // Position in the recording, in recorded milliseconds.
    qint64 positionMs() const;
    bool hasEnded() const { return m_ended; }
    const QStringList& differences() const { return m_differences; }

    QList<PortInfo> availablePorts() const override;
    bool open(QIODevice::OpenMode mode) override;
    void close() override;

    bool setBaudRate(qint32) override { return isOpen(); }
    bool setDataTerminalReady(bool) override { return isOpen(); }
    bool setRequestToSend(bool) override { return isOpen(); }
    bool setParity(QSerialPort::Parity) override { return isOpen(); }
    bool setStopBits(QSerialPort::StopBits) override { return isOpen(); }
    bool setDataBits(QSerialPort::DataBits) override { return isOpen(); }
    bool setFlowControl(QSerialPort::FlowControl) override { return isOpen(); }

    qint64 write(const QByteArray& data) override;

signals:
    // The program of the recording selected a mode here: the tab to show (0..5).
    void modeSelected(int tab);
    // The program of the recording selected the pair of these wires here.
    void pairSelected(quint8 wireA, quint8 wireB);
    void ended();

private:
    struct Command {
        quint32 timeMs;
        QByteArray payload;
    };

    void play();
    void schedule();
    void finish();
    void compareSent(const QByteArray& payload);
    void noteDifference(const QString& text);
    static int tabOfModeSelect(const QByteArray& payload);
    bool broken() const override { return m_ended; }

    LinkRecording m_recording;
    double m_speed;
    bool m_started = false;
    bool m_ended = false;
    int m_next = 0; // next record to play
    QElapsedTimer m_clock;
    QTimer m_timer;

    QVector<Command> m_expected; // what the recorded program sent, polls left out
    int m_nextExpected = 0;
    FrameReceiver m_playedDecoder;
    QStringList m_differences;
};
