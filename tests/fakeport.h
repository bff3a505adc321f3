#pragma once

#include "link/analyserport.h"
#include "link/framecodec.h"

#include <QSet>

// A scriptable port: lists what the test says, records every frame written (decoded back into
// payloads) and hands the program whatever bytes the test pushes.
class FakePort : public AnalyserPort
{
public:
    QList<PortInfo> ports{{"ttyUSB0", "FTDI"}};
    bool openFails = false;
    QString failingSetting; // "baud", "dtr", "rts", "parity", "stop", "data", "flow"
    QString error = "Permission denied";
    int opens = 0;

    QList<PortInfo> availablePorts() const override { return ports; }
    void setPortName(const QString& name) override { m_name = name; }
    QString portName() const override { return m_name; }
    bool open(QIODevice::OpenMode) override
    {
        ++opens;
        if (openFails)
            return false;
        m_open = true;
        return true;
    }
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }

    bool setBaudRate(qint32 b) override { return setting("baud", b == 921600); }
    bool setDataTerminalReady(bool on) override { return setting("dtr", on); }
    bool setRequestToSend(bool on) override { return setting("rts", on); }
    bool setParity(QSerialPort::Parity p) override { return setting("parity", p == QSerialPort::NoParity); }
    bool setStopBits(QSerialPort::StopBits s) override { return setting("stop", s == QSerialPort::OneStop); }
    bool setDataBits(QSerialPort::DataBits d) override { return setting("data", d == QSerialPort::Data8); }
    bool setFlowControl(QSerialPort::FlowControl f) override
    {
        return setting("flow", f == QSerialPort::NoFlowControl);
    }
    QString errorString() const override { return error; }
    QSerialPort::SerialPortError openError = QSerialPort::UnknownError; // what a failing open reports
    QSerialPort::SerialPortError portError() const override { return openError; }

    qint64 write(const QByteArray& data) override
    {
        if (!m_open)
            writesWhileClosed += data.size();
        rawWritten += data;
        for (char c : data)
            if (m_rx.feed(quint8(c))) {
                QByteArray p = m_rx.takePayload();
                p.chop(1);
                sent.append(p);
                if (log)
                    log->append(p);
                if (!unplugOnSend.isEmpty() && p.startsWith(unplugOnSend)) {
                    unplugOnSend.clear();
                    m_open = false;
                    emit errorOccurred(QSerialPort::ResourceError);
                }
            }
        return data.size();
    }
    // Reports bytes written this many more times, like a port whose buffer drains slowly.
    int pendingWrites = 0;
    int waits = 0;
    int* waitLog = nullptr; // counts the waits too, and survives the port
    bool waitForBytesWritten(int) override
    {
        ++waits;
        if (waitLog)
            ++*waitLog;
        return pendingWrites-- > 0;
    }
    QByteArray readAll() override
    {
        QByteArray d = m_in;
        m_in.clear();
        return d;
    }
    bool atEnd() const override { return m_in.isEmpty(); }

    // Bytes from the analyser.
    void push(const QByteArray& bytes)
    {
        m_in += bytes;
        emit readyRead();
    }
    void pushPayload(const QByteArray& payload) { push(Frame::encode(payload)); }

    QByteArray unplugOnSend; // the device vanishes when a payload starting so is written
    int writesWhileClosed = 0;
    QList<QByteArray> sent;
    QList<QByteArray>* log = nullptr; // survives the port, which the window deletes
    QByteArray rawWritten;
    QStringList settingsApplied;

private:
    bool setting(const char* name, bool right)
    {
        settingsApplied.append(QString::fromLatin1(name));
        return right && failingSetting != QLatin1String(name);
    }

    QString m_name;
    bool m_open = false;
    QByteArray m_in;
    FrameReceiver m_rx;
};
