#include "virtualport.h"

#include "sim/virtualanalyser.h"

VirtualAnalyserPort::VirtualAnalyserPort(VirtualAnalyser& analyser, QObject* parent)
    : MemoryAnalyserPort(parent), m_analyser(analyser)
{
    m_deliverTimer.setSingleShot(true);
    m_deliverTimer.setInterval(0);
    connect(&m_deliverTimer, &QTimer::timeout, this, &VirtualAnalyserPort::deliverInFlight);
    connect(&m_analyser, &VirtualAnalyser::output, this, &VirtualAnalyserPort::arrive);
    connect(&m_analyser, &VirtualAnalyser::linkDropped, this, [this] {
        unplug();
        QTimer::singleShot(DropLinkMs, this, &VirtualAnalyserPort::plug);
    });
}

VirtualAnalyserPort::~VirtualAnalyserPort() = default;

QList<PortInfo> VirtualAnalyserPort::availablePorts() const
{
    if (!m_plugged)
        return {};
    return {PortInfo{defaultPortName(), bridgeManufacturer()}};
}

bool VirtualAnalyserPort::open(QIODevice::OpenMode)
{
    if (isOpen()) {
        fail(QSerialPort::OpenError, QStringLiteral("Device is already open"));
        return false;
    }
    if (!m_plugged || portName() != defaultPortName()) {
        fail(QSerialPort::DeviceNotFoundError, QStringLiteral("No such file or directory"));
        return false;
    }
    if (!m_openFailure.isEmpty()) {
        fail(QSerialPort::PermissionError, m_openFailure);
        return false;
    }
    setOpen(true);
    m_dead = false;
    setErrorString(QStringLiteral("No error"));
    m_inFlight.clear();
    dropBuffers();
    return true;
}

void VirtualAnalyserPort::close()
{
    if (!isOpen())
        return;
    setOpen(false);
    m_dead = false;
    m_deliverTimer.stop();
    m_inFlight.clear();
    dropBuffers();
    // Closing drops the modem lines; the analyser takes it as the host going away.
    m_analyser.hostLost();
}

void VirtualAnalyserPort::setSettingFailure(Setting which, const QString& errorText)
{
    if (errorText.isEmpty())
        m_settingFailures.remove(which);
    else
        m_settingFailures.insert(which, errorText);
}

bool VirtualAnalyserPort::applies(Setting which)
{
    const auto it = m_settingFailures.constFind(which);
    if (it == m_settingFailures.constEnd())
        return true;
    fail(QSerialPort::UnsupportedOperationError, it.value());
    return false;
}

bool VirtualAnalyserPort::setBaudRate(qint32 baud)
{
    if (!applies(Setting::BaudRate))
        return false;
    m_settings.baudRate = baud;
    return true;
}

bool VirtualAnalyserPort::setDataTerminalReady(bool on)
{
    if (!applies(Setting::DataTerminalReady))
        return false;
    m_settings.dataTerminalReady = on;
    return true;
}

bool VirtualAnalyserPort::setRequestToSend(bool on)
{
    if (!applies(Setting::RequestToSend))
        return false;
    m_settings.requestToSend = on;
    return true;
}

bool VirtualAnalyserPort::setParity(QSerialPort::Parity parity)
{
    if (!applies(Setting::Parity))
        return false;
    m_settings.parity = parity;
    return true;
}

bool VirtualAnalyserPort::setStopBits(QSerialPort::StopBits bits)
{
    if (!applies(Setting::StopBits))
        return false;
    m_settings.stopBits = bits;
    return true;
}

bool VirtualAnalyserPort::setDataBits(QSerialPort::DataBits bits)
{
    if (!applies(Setting::DataBits))
        return false;
    m_settings.dataBits = bits;
    return true;
}

bool VirtualAnalyserPort::setFlowControl(QSerialPort::FlowControl flow)
{
    if (!applies(Setting::FlowControl))
        return false;
    m_settings.flowControl = flow;
    return true;
}

qint64 VirtualAnalyserPort::write(const QByteArray& data)
{
    if (!writable())
        return -1;
    m_sent.append(takeWritten(data));
    m_analyser.receive(data);
    return data.size();
}

void VirtualAnalyserPort::unplug()
{
    if (!m_plugged)
        return;
    m_plugged = false;
    m_deliverTimer.stop();
    m_inFlight.clear();
    dropBuffers();
    m_analyser.hostLost();
    if (isOpen()) {
        m_dead = true;
        fail(QSerialPort::ResourceError, QStringLiteral("Input/output error"));
    }
}

void VirtualAnalyserPort::plug()
{
    m_plugged = true;
}

void VirtualAnalyserPort::arrive(const QByteArray& bytes)
{
    if (!isOpen() || m_dead)
        return;
    m_inFlight.append(bytes);
    if (!m_deliverTimer.isActive())
        m_deliverTimer.start();
}

void VirtualAnalyserPort::deliverInFlight()
{
    if (!isOpen() || m_dead || m_inFlight.isEmpty())
        return;
    const QByteArray bytes = m_inFlight;
    m_inFlight.clear();
    deliver(bytes);
}
