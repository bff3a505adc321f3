#pragma once

#include "analyserport.h"

#include <QSerialPort>

// The real device: a QSerialPort. With an explicit device (from the command line) the port list holds
// only that device, reported as the analyser's bridge, and a device without modem-control lines (a
// pseudo-terminal) is accepted: DTR/RTS failing as unsupported is not a failure there.
class SerialAnalyserPort : public AnalyserPort
{
    Q_OBJECT
public:
    explicit SerialAnalyserPort(QObject* parent = nullptr, const QString& explicitDevice = QString());

    QList<PortInfo> availablePorts() const override;
    void setPortName(const QString& name) override { m_port.setPortName(name); }
    QString portName() const override { return m_port.portName(); }
    bool open(QIODevice::OpenMode mode) override { return m_port.open(mode); }
    bool isOpen() const override { return m_port.isOpen(); }
    void close() override { m_port.close(); }

    bool setBaudRate(qint32 baud) override { return m_port.setBaudRate(baud); }
    bool setDataTerminalReady(bool on) override;
    bool setRequestToSend(bool on) override;
    bool setParity(QSerialPort::Parity p) override { return m_port.setParity(p); }
    bool setStopBits(QSerialPort::StopBits b) override { return m_port.setStopBits(b); }
    bool setDataBits(QSerialPort::DataBits b) override { return m_port.setDataBits(b); }
    bool setFlowControl(QSerialPort::FlowControl f) override { return m_port.setFlowControl(f); }

    QString errorString() const override { return m_port.errorString(); }
    QSerialPort::SerialPortError portError() const override { return m_port.error(); }

    qint64 write(const QByteArray& data) override { return m_port.write(data); }
    bool waitForBytesWritten(int msecs) override { return m_port.waitForBytesWritten(msecs); }
    QByteArray readAll() override { return m_port.readAll(); }
    bool atEnd() const override { return m_port.bytesAvailable() <= 0; }

private:
    bool modemLine(bool ok);

    QSerialPort m_port;
    QString m_explicitDevice;
};
