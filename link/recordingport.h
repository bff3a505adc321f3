#pragma once

#include "analyserport.h"
#include "linkrecording.h"

// Puts any port on record: everything is passed to the port it wraps, and every byte written to it
// or read from it goes to the recording as well. Owns the wrapped port and the writer.
class RecordingAnalyserPort : public AnalyserPort
{
    Q_OBJECT
public:
    RecordingAnalyserPort(AnalyserPort* inner, LinkRecordWriter* writer, QObject* parent = nullptr);

    AnalyserPort* inner() const { return m_inner; }

    QList<PortInfo> availablePorts() const override { return m_inner->availablePorts(); }
    void setPortName(const QString& name) override { m_inner->setPortName(name); }
    QString portName() const override { return m_inner->portName(); }
    bool open(QIODevice::OpenMode mode) override { return m_inner->open(mode); }
    bool isOpen() const override { return m_inner->isOpen(); }
    void close() override;

    bool setBaudRate(qint32 baud) override { return m_inner->setBaudRate(baud); }
    bool setDataTerminalReady(bool on) override { return m_inner->setDataTerminalReady(on); }
    bool setRequestToSend(bool on) override { return m_inner->setRequestToSend(on); }
    bool setParity(QSerialPort::Parity p) override { return m_inner->setParity(p); }
    bool setStopBits(QSerialPort::StopBits b) override { return m_inner->setStopBits(b); }
    bool setDataBits(QSerialPort::DataBits b) override { return m_inner->setDataBits(b); }
    bool setFlowControl(QSerialPort::FlowControl f) override { return m_inner->setFlowControl(f); }

    QString errorString() const override { return m_inner->errorString(); }

    qint64 write(const QByteArray& data) override;
    bool waitForBytesWritten(int msecs) override { return m_inner->waitForBytesWritten(msecs); }
    QByteArray readAll() override;
    bool atEnd() const override { return m_inner->atEnd(); }

private:
    AnalyserPort* m_inner;
    LinkRecordWriter* m_writer;
};
