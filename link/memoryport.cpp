#include "memoryport.h"

bool MemoryAnalyserPort::waitForBytesWritten(int)
{
    const bool wrote = m_written && m_open && !broken();
    m_written = false;
    return wrote;
}

QByteArray MemoryAnalyserPort::readAll()
{
    QByteArray bytes;
    bytes.swap(m_readable);
    return bytes;
}

void MemoryAnalyserPort::fail(QSerialPort::SerialPortError error, const QString& text)
{
    m_errorString = text;
    emit errorOccurred(error);
}

bool MemoryAnalyserPort::writable()
{
    if (!m_open) {
        m_errorString = QStringLiteral("Device not open");
        return false;
    }
    if (broken()) {
        m_errorString = QStringLiteral("Input/output error");
        return false;
    }
    return true;
}

QList<QByteArray> MemoryAnalyserPort::takeWritten(const QByteArray& data)
{
    QList<QByteArray> payloads;
    for (char c : data)
        if (m_sentDecoder.feed(quint8(c)))
            payloads.append(m_sentDecoder.takePayload().chopped(1));
    m_written = true;
    return payloads;
}

void MemoryAnalyserPort::deliver(const QByteArray& bytes)
{
    m_readable.append(bytes);
    emit readyRead();
}

void MemoryAnalyserPort::dropBuffers()
{
    m_readable.clear();
    m_sentDecoder = FrameReceiver();
}
