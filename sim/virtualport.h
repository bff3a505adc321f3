#pragma once

#include "link/analyserport.h"
#include "link/framecodec.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTimer>

class VirtualAnalyser;

// The in-process port to a VirtualAnalyser. Bytes written reach the analyser at once; its replies are
// delivered from the event loop, as from a real port, so the program's receive loop is never re-entered.
// Test hooks: plug/unplug the device, make open or one setting fail, and read back what the program sent.
class VirtualAnalyserPort : public AnalyserPort
{
    Q_OBJECT
public:
    enum class Setting {
        BaudRate,
        DataTerminalReady,
        RequestToSend,
        Parity,
        StopBits,
        DataBits,
        FlowControl
    };
    struct Settings {
        qint32 baudRate = 9600;
        bool dataTerminalReady = false;
        bool requestToSend = false;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
    };

    static QString defaultPortName() { return QStringLiteral("ttyKV847"); }
    static QString bridgeManufacturer() { return QStringLiteral("FTDI"); }

    explicit VirtualAnalyserPort(VirtualAnalyser& analyser, QObject* parent = nullptr);
    ~VirtualAnalyserPort() override;

    QList<PortInfo> availablePorts() const override;
    void setPortName(const QString& name) override { m_name = name; }
    QString portName() const override { return m_name; }
    bool open(QIODevice::OpenMode mode) override;
    bool isOpen() const override { return m_open; }
    void close() override;

    bool setBaudRate(qint32 baud) override;
    bool setDataTerminalReady(bool on) override;
    bool setRequestToSend(bool on) override;
    bool setParity(QSerialPort::Parity parity) override;
    bool setStopBits(QSerialPort::StopBits bits) override;
    bool setDataBits(QSerialPort::DataBits bits) override;
    bool setFlowControl(QSerialPort::FlowControl flow) override;

    QString errorString() const override { return m_errorString; }

    qint64 write(const QByteArray& data) override;
    // True once after bytes were written, then false until the next write, as a real port whose
    // buffer has drained (a caller that waits while it reports true must come to an end).
    bool waitForBytesWritten(int msecs) override;
    QByteArray readAll() override;
    bool atEnd() const override { return m_readable.isEmpty(); }

    // The device is pulled out: an open port reports ResourceError and stays dead until closed; the
    // port is not listed until plug().
    void unplug();
    void plug();
    // How long the analyser's own dropLink() keeps the cable out.
    static constexpr int DropLinkMs = 1000;
    bool isPlugged() const { return m_plugged; }

    // A non-empty text makes open (or the setting) fail with that error string; empty restores it.
    void setOpenFailure(const QString& errorText) { m_openFailure = errorText; }
    void setSettingFailure(Setting which, const QString& errorText);
    const Settings& settings() const { return m_settings; }

    // Every payload the program wrote, decoded, in order, without the receiver's trailing zero.
    const QList<QByteArray>& sentPayloads() const { return m_sent; }
    void clearSent() { m_sent.clear(); }

private:
    void arrive(const QByteArray& bytes);
    void deliver();
    bool applies(Setting which);
    void fail(QSerialPort::SerialPortError error, const QString& text);

    VirtualAnalyser& m_analyser;
    QString m_name;
    bool m_plugged = true;
    bool m_open = false;
    bool m_dead = false; // opened before an unplug
    QString m_errorString = QStringLiteral("Unknown error");
    QString m_openFailure;
    QMap<Setting, QString> m_settingFailures;
    Settings m_settings;

    QByteArray m_inFlight; // sent by the analyser, not yet delivered
    QByteArray m_readable; // delivered, not yet read
    QTimer m_deliverTimer;
    bool m_written = false;

    FrameReceiver m_sentDecoder;
    QList<QByteArray> m_sent;
};
