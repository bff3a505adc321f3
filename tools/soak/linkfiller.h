#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class VirtualAnalyser;

// Keeps the virtual analyser's link full: whenever the line (921600 baud, ten bits a byte) has room,
// it sends more of the current mode's stream (LFA oscilloscope frames with a spectrum every other
// frame, WRx sweeps or level frames, NLJD readings) through the analyser, so its faults apply. Modes
// without a stream (REFL between measurements, firmware) are left at the analyser's own pace.
// When the event loop falls behind, at most MaxBacklogMs of line time is caught up; the rest counts
// as shortfall.
class LinkFiller : public QObject
{
    Q_OBJECT
public:
    static constexpr double LineBytesPerSecond = 921600 / 10.0;
    static constexpr int MaxBacklogMs = 50;

    explicit LinkFiller(VirtualAnalyser& analyser, QObject* parent = nullptr);

    void start();
    void stop() { m_timer.stop(); }

    // Everything the analyser sent since start(), its own messages included.
    double bytesSent() const { return m_bytes; }
    // Line time during which a stream was running, and what was sent meanwhile.
    double streamingSeconds() const { return m_streamingNs / 1e9; }
    double streamingBytes() const { return m_streamingBytes; }
    double shortfallBytes() const { return m_shortfall; }

private:
    void topUp();
    bool sendOne();

    VirtualAnalyser& m_analyser;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_bytes = 0;
    double m_line = 0; // what the line could have carried since start(), at most MaxBacklogMs ahead
    double m_shortfall = 0;
    qint64 m_lastNs = 0;
    bool m_wasStreaming = false;
    double m_streamingNs = 0;
    double m_streamingBytes = 0;
    quint32 m_frames = 0;
};
