#pragma once

#include <QByteArray>
#include <QtGlobal>

// Link frame: C0, length, payload, 8-bit sum of the payload, C1; the length, every payload byte and the
// sum are escaped so that C0 and C1 only ever mark frame boundaries.
namespace Frame
{
constexpr quint8 Start = 0xC0;
constexpr quint8 End = 0xC1;
constexpr quint8 Escape = 0xDB;
// The sender keeps an 8-bit write position, so no encoded frame may be longer than this.
constexpr int MaxEncodedSize = 255;

// The whole frame for one payload, or an empty array when the encoded frame would not fit.
QByteArray encode(const QByteArray& payload);
// The analyser's side has no 8-bit write position: any payload of up to 255 bytes, however escaped.
QByteArray encodeAnyLength(const QByteArray& payload);

// "TX-<len>: 55 (U) 1 " style line; empty for the keep-alive poll, which is not traced.
QByteArray txTrace(const QByteArray& payload);

// Whether a delivered payload gets an "RX: " line (streams of "#", "M" and "C" 0/3 would flood it).
bool rxTraced(const QByteArray& delivered);
} // namespace Frame

// Reassembles frames from the byte stream. State survives between calls, so a frame may arrive in
// any number of pieces; only a start byte ever resets it.
class FrameReceiver
{
public:
    // Feeds one byte; true when it completed a frame whose sum matched. takePayload() then gives the
    // payload followed by one zero byte.
    bool feed(quint8 b);
    QByteArray takePayload() const { return QByteArray(m_payload, m_delivered); }
    // Debug text of the last frame: length, raw payload bytes in hex, the first as a character.
    QByteArray trace() const { return QByteArray(m_trace, m_traceLen); }
    quint8 state() const { return m_state; }

private:
    quint8 m_state = 0; // 0 idle, 1 length, 2 payload, 3 sum, 4 end
    bool m_escape = false;
    quint16 m_expected = 0;
    quint16 m_count = 0;
    quint8 m_sum = 0;
    int m_delivered = 0;
    int m_traceLen = 0;
    // Fixed buffers: the receiver sits on the hot path of every byte from the analyser.
    char m_payload[257];
    char m_trace[2048];

    void traceHex(quint8 b);
    void traceText(const char* s, int n);
};
