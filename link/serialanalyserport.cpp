#include "serialanalyserport.h"

#include <QFileInfo>
#include <QSerialPortInfo>

AnalyserPort::~AnalyserPort() = default;

SerialAnalyserPort::SerialAnalyserPort(QObject* parent, const QString& explicitDevice)
    : AnalyserPort(parent), m_explicitDevice(explicitDevice)
{
    connect(&m_port, &QSerialPort::readyRead, this, &AnalyserPort::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &AnalyserPort::errorOccurred);
}

QList<PortInfo> SerialAnalyserPort::availablePorts() const
{
    QList<PortInfo> list;
    if (!m_explicitDevice.isEmpty()) {
        // The user named the analyser's device; it counts as the bridge while it exists.
        if (QFileInfo::exists(m_explicitDevice))
            list.append({m_explicitDevice, QStringLiteral("FTDI")});
        return list;
    }
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos)
        list.append({info.portName(), info.manufacturer()});
    return list;
}

bool SerialAnalyserPort::modemLine(bool ok)
{
    if (ok)
        return true;
    if (!m_explicitDevice.isEmpty() && m_port.error() == QSerialPort::UnsupportedOperationError) {
        m_port.clearError();
        return true;
    }
    return false;
}

bool SerialAnalyserPort::setDataTerminalReady(bool on)
{
    return modemLine(m_port.setDataTerminalReady(on));
}

bool SerialAnalyserPort::setRequestToSend(bool on)
{
    return modemLine(m_port.setRequestToSend(on));
}
