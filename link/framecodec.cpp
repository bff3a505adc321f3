#include "framecodec.h"

#include <cstring>

namespace
{
void appendEscaped(QByteArray& out, quint8 b)
{
    switch (b) {
    case Frame::Start:
        out.append(char(Frame::Escape)).append(char(0xDC));
        break;
    case Frame::End:
        out.append(char(Frame::Escape)).append(char(0xDD));
        break;
    case Frame::Escape:
        out.append(char(Frame::Escape)).append(char(0xDE));
        break;
    default:
        out.append(char(b));
    }
}

void appendHex(QByteArray& out, quint8 b)
{
    out.append(QByteArray::number(b, 16).toUpper());
}
} // namespace

QByteArray Frame::encode(const QByteArray& payload)
{
    const QByteArray out = encodeAnyLength(payload);
    if (payload.size() > 255 || out.size() > MaxEncodedSize)
        return QByteArray();
    return out;
}

QByteArray Frame::encodeAnyLength(const QByteArray& payload)
{
    QByteArray out;
    out.reserve(2 * payload.size() + 6);
    out.append(char(Start));
    appendEscaped(out, quint8(payload.size()));
    quint8 sum = 0;
    for (char c : payload) {
        sum = quint8(sum + quint8(c));
        appendEscaped(out, quint8(c));
    }
    appendEscaped(out, sum);
    out.append(char(End));
    return out;
}

QByteArray Frame::txTrace(const QByteArray& payload)
{
    if (!payload.isEmpty() && payload.at(0) == '#')
        return QByteArray();
    QByteArray line = "TX-" + QByteArray::number(payload.size()) + ": ";
    for (int i = 0; i < payload.size(); ++i) {
        appendHex(line, quint8(payload.at(i)));
        line.append(' ');
        if (i == 0)
            line.append('(').append(payload.at(0)).append(") ");
    }
    return line;
}

bool Frame::rxTraced(const QByteArray& delivered)
{
    if (delivered.isEmpty())
        return true;
    const char kind = delivered.at(0);
    if (kind == '#' || kind == 'M')
        return false;
    if (kind == 'C' && delivered.size() > 1 && (delivered.at(1) == 0 || delivered.at(1) == 3))
        return false;
    return true;
}

void FrameReceiver::traceText(const char* s, int n)
{
    if (m_traceLen + n > int(sizeof m_trace))
        return;
    memcpy(m_trace + m_traceLen, s, size_t(n));
    m_traceLen += n;
}

void FrameReceiver::traceHex(quint8 b)
{
    static const char digits[] = "0123456789ABCDEF";
    char t[2];
    int n = 0;
    if (b >= 16)
        t[n++] = digits[b >> 4];
    t[n++] = digits[b & 15];
    traceText(t, n);
}

bool FrameReceiver::feed(quint8 b)
{
    // A length-0 frame stays in state 2 until the next start byte; the trace is bounded.
    if (m_state == 2 && m_traceLen <= int(sizeof m_trace) - 3) {
        traceHex(b);
        traceText(" ", 1);
    }
    if (b == Frame::Start) {
        m_state = 1;
        m_delivered = 0;
        m_traceLen = 0;
        m_escape = false;
        return false;
    }
    if (b == Frame::End) {
        if (m_state != 4)
            return false;
        m_state = 0;
        return true;
    }
    if (b == Frame::Escape) {
        m_escape = true;
        return false;
    }
    if (m_escape) {
        if (b == 0xDC)
            b = 0xC0;
        else if (b == 0xDD)
            b = 0xC1;
        else if (b == 0xDE)
            b = 0xDB;
        if (m_state == 3) {
            traceText("(", 1);
            traceHex(b);
            traceText(") ", 2);
        }
        m_escape = false;
    }
    switch (m_state) {
    case 1: {
        m_expected = b;
        m_count = 0;
        m_sum = 0;
        m_state = 2;
        // The length in decimal, without a string per frame.
        char n[5];
        int digits = 0;
        if (b >= 100)
            n[digits++] = char('0' + b / 100);
        if (b >= 10)
            n[digits++] = char('0' + b / 10 % 10);
        n[digits++] = char('0' + b % 10);
        n[digits++] = ':';
        n[digits++] = ' ';
        traceText(n, digits);
        break;
    }
    case 2:
        if (m_count == 0) {
            const char c[4] = {'(', char(b), ')', ' '};
            traceText(c, 4);
        }
        // No real frame is longer than 255, so the count stops at 256: a frame of length 0 can then
        // never complete, and a stream without start bytes cannot run past the buffer.
        if (m_count < 256)
            m_payload[m_count++] = char(b);
        m_sum = quint8(m_sum + b);
        if (m_count == m_expected)
            m_state = 3;
        break;
    case 3:
        if (b == m_sum) {
            m_payload[m_count] = '\0';
            m_delivered = m_count + 1;
            m_state = 4;
        }
        break;
    default:
        break;
    }
    return false;
}
