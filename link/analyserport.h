#pragma once

#include <QIODevice>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QString>

struct PortInfo {
    QString portName;
    QString manufacturer;
};

// What the program needs of the serial link to the analyser. The watchdog, the frame receiver and the
// sender see only this, so the virtual analyser and test fakes can stand in for a real device.
// Setters report success the way QSerialPort's do.
class AnalyserPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~AnalyserPort() override;

    virtual QList<PortInfo> availablePorts() const = 0;
    virtual void setPortName(const QString& name) = 0;
    virtual QString portName() const = 0;
    virtual bool open(QIODevice::OpenMode mode) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    virtual bool setBaudRate(qint32 baud) = 0;
    virtual bool setDataTerminalReady(bool on) = 0;
    virtual bool setRequestToSend(bool on) = 0;
    virtual bool setParity(QSerialPort::Parity parity) = 0;
    virtual bool setStopBits(QSerialPort::StopBits bits) = 0;
    virtual bool setDataBits(QSerialPort::DataBits bits) = 0;
    virtual bool setFlowControl(QSerialPort::FlowControl flow) = 0;

    virtual QString errorString() const = 0;
    // The kind of the last failure, where the port knows it.
    virtual QSerialPort::SerialPortError portError() const { return QSerialPort::UnknownError; }

    virtual qint64 write(const QByteArray& data) = 0;
    virtual bool waitForBytesWritten(int msecs) = 0;
    virtual QByteArray readAll() = 0;
    virtual bool atEnd() const = 0;

signals:
    void readyRead();
    void errorOccurred(QSerialPort::SerialPortError error);
};
