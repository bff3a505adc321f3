#pragma once

#include "analyserport.h"

// A port that stands in front of another one and passes everything through; subclasses override what
// they want to see or change on the way. Owns the port it wraps.
class ForwardingAnalyserPort : public AnalyserPort
{
    Q_OBJECT
public:
    explicit ForwardingAnalyserPort(AnalyserPort* inner, QObject* parent = nullptr);

    AnalyserPort* inner() const { return m_inner; }

    QList<PortInfo> availablePorts() const override { return m_inner->availablePorts(); }
    void setPortName(const QString& name) override { m_inner->setPortName(name); }
    QString portName() const override { return m_inner->portName(); }
    bool open(QIODevice::OpenMode mode) override { return m_inner->open(mode); }
    bool isOpen() const override { return m_inner->isOpen(); }
    void close() override { m_inner->close(); }

    bool setBaudRate(qint32 baud) override { return m_inner->setBaudRate(baud); }
    bool setDataTerminalReady(bool on) override { return m_inner->setDataTerminalReady(on); }
    bool setRequestToSend(bool on) override { return m_inner->setRequestToSend(on); }
    bool setParity(QSerialPort::Parity p) override { return m_inner->setParity(p); }
    bool setStopBits(QSerialPort::StopBits b) override { return m_inner->setStopBits(b); }
    bool setDataBits(QSerialPort::DataBits b) override { return m_inner->setDataBits(b); }
    bool setFlowControl(QSerialPort::FlowControl f) override { return m_inner->setFlowControl(f); }

    QString errorString() const override { return m_inner->errorString(); }
    QSerialPort::SerialPortError portError() const override { return m_inner->portError(); }

    qint64 write(const QByteArray& data) override { return m_inner->write(data); }
    bool waitForBytesWritten(int msecs) override { return m_inner->waitForBytesWritten(msecs); }
    QByteArray readAll() override { return m_inner->readAll(); }
    bool atEnd() const override { return m_inner->atEnd(); }

private:
    AnalyserPort* m_inner;
};
