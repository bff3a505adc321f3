#include "virtualport.h"

#include "sim/virtualanalyser.h"

VirtualAnalyserPort::VirtualAnalyserPort(VirtualAnalyser& analyser, QObject* parent)
    : AnalyserPort(parent), m_analyser(analyser)
{
    m_deliverTimer.setSingleShot(true);
    m_deliverTimer.setInterval(0);
    connect(&m_deliverTimer, &QTimer::timeout, this, &VirtualAnalyserPort::deliver);
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
    if (m_open) {
        fail(QSerialPort::OpenError, QStringLiteral("Device is already open"));
        return false;
    }
    if (!m_plugged || m_name != defaultPortName()) {
        fail(QSerialPort::DeviceNotFoundError, QStringLiteral("No such file or directory"));
        return false;
    }
    if (!m_openFailure.isEmpty()) {
        fail(QSerialPort::PermissionError, m_openFailure);
        return false;
    }
    m_open = true;
    m_dead = false;
    m_errorString = QStringLiteral("No error");
    m_inFlight.clear();
    m_readable.clear();
    return true;
}

void VirtualAnalyserPort::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_dead = false;
    m_deliverTimer.stop();
    m_inFlight.clear();
    m_readable.clear();
    m_sentDecoder = FrameReceiver();
    // Closing drops the modem lines; the analyser takes it as the host going away.
    m_analyser.hostLost();
}

void VirtualAnalyserPort::fail(QSerialPort::SerialPortError error, const QString& text)
{
    m_errorString = text;
    emit errorOccurred(error);
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
    if (!m_open) {
        m_errorString = QStringLiteral("Device not open");
        return -1;
    }
    if (m_dead) {
        m_errorString = QStringLiteral("Input/output error");
        return -1;
    }
    for (char c : data)
        if (m_sentDecoder.feed(quint8(c)))
            m_sent.append(m_sentDecoder.takePayload().chopped(1));
    m_written = true;
    m_analyser.receive(data);
    return data.size();
}

bool VirtualAnalyserPort::waitForBytesWritten(int)
{
    const bool wrote = m_written && m_open && !m_dead;
    m_written = false;
    return wrote;
}

QByteArray VirtualAnalyserPort::readAll()
{
    QByteArray bytes;
    bytes.swap(m_readable);
    return bytes;
}

void VirtualAnalyserPort::unplug()
{
    if (!m_plugged)
        return;
    m_plugged = false;
    m_deliverTimer.stop();
    m_inFlight.clear();
    m_readable.clear();
    m_analyser.hostLost();
    if (m_open) {
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
    if (!m_open || m_dead)
        return;
    m_inFlight.append(bytes);
    if (!m_deliverTimer.isActive())
        m_deliverTimer.start();
}

void VirtualAnalyserPort::deliver()
{
    if (!m_open || m_dead || m_inFlight.isEmpty())
        return;
    m_readable.append(m_inFlight);
    m_inFlight.clear();
    emit readyRead();
}
