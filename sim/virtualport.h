#pragma once

#include "link/memoryport.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTimer>

class VirtualAnalyser;

// The in-process port to a VirtualAnalyser. Bytes written reach the analyser at once; its replies are
// delivered from the event loop, as from a real port, so the program's receive loop is never re-entered.
// Test hooks: plug/unplug the device, make open or one setting fail, and read back what the program sent.
class VirtualAnalyserPort : public MemoryAnalyserPort
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
    bool open(QIODevice::OpenMode mode) override;
    void close() override;

    bool setBaudRate(qint32 baud) override;
    bool setDataTerminalReady(bool on) override;
    bool setRequestToSend(bool on) override;
    bool setParity(QSerialPort::Parity parity) override;
    bool setStopBits(QSerialPort::StopBits bits) override;
    bool setDataBits(QSerialPort::DataBits bits) override;
    bool setFlowControl(QSerialPort::FlowControl flow) override;

    qint64 write(const QByteArray& data) override;

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
    void deliverInFlight();
    bool applies(Setting which);
    bool broken() const override { return m_dead; }

    VirtualAnalyser& m_analyser;
    bool m_plugged = true;
    bool m_dead = false; // opened before an unplug
    QString m_openFailure;
    QMap<Setting, QString> m_settingFailures;
    Settings m_settings;

    QByteArray m_inFlight; // sent by the analyser, not yet delivered
    QTimer m_deliverTimer;
    QList<QByteArray> m_sent;
};
