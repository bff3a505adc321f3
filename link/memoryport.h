#pragma once

#include "analyserport.h"
#include "framecodec.h"

// What every in-process stand-in for the analyser's port shares: a name, an open flag, the error
// string, the bytes delivered and not yet read, the written flag that waitForBytesWritten reports
// once, and a decoder for what the program writes. Subclasses decide what is listed, what opens and
// where the bytes come from.
class MemoryAnalyserPort : public AnalyserPort
{
    Q_OBJECT
public:
    using AnalyserPort::AnalyserPort;

    void setPortName(const QString& name) override { m_name = name; }
    QString portName() const override { return m_name; }
    bool isOpen() const override { return m_open; }
    QString errorString() const override { return m_errorString; }

    // True once after bytes were written, then false until the next write, as a real port whose
    // buffer has drained (a caller that waits while it reports true must come to an end).
    bool waitForBytesWritten(int msecs) override;
    QByteArray readAll() override;
    bool atEnd() const override { return m_readable.isEmpty(); }

protected:
    // Whether an open port can no longer carry bytes (device gone, recording over).
    virtual bool broken() const { return false; }

    void setOpen(bool open) { m_open = open; }
    void setErrorString(const QString& text) { m_errorString = text; }
    void fail(QSerialPort::SerialPortError error, const QString& text);
    // Open, not broken; otherwise the error string says why and write must return -1.
    bool writable();
    // The complete payloads the bytes written finish (without the receiver's trailing zero); marks
    // the port written.
    QList<QByteArray> takeWritten(const QByteArray& data);
    // Bytes arrive from the device: readable now, readyRead emitted.
    void deliver(const QByteArray& bytes);
    void dropBuffers();

private:
    QString m_name;
    bool m_open = false;
    bool m_written = false;
    QString m_errorString = QStringLiteral("Unknown error");
    QByteArray m_readable;
    FrameReceiver m_sentDecoder;
};
