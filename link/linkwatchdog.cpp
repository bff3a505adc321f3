#include "linkwatchdog.h"

#include "analyserport.h"

LinkWatchdog::LinkWatchdog(AnalyserPort& port, QObject* parent) : QObject(parent), m_port(port) {}

int LinkWatchdog::findBridge(const QList<PortInfo>& ports)
{
    int found = -1;
    for (int i = 0; i < ports.size(); ++i)
        if (ports.at(i).manufacturer == QLatin1String("FTDI"))
            found = i;
    return found;
}

void LinkWatchdog::closePort()
{
    m_linkState = 0;
    if (m_port.isOpen())
        m_port.close();
}

void LinkWatchdog::step(bool updateBusy)
{
    if (updateBusy)
        return;
    if (m_holdOff > 0) {
        --m_holdOff;
        return;
    }
    if (m_linkState == 1) {
        m_linkState = 0;
        m_holdOff = HoldOffAfterNoResponse;
        emit title(LinkTitle::NoResponse);
        m_port.close();
        return;
    }
    if (m_linkState >= 2) {
        emit send(QByteArray(1, '#'));
        ++m_linkState;
        if (m_linkState <= MaxAlive)
            return;
        emit dropRequested();
        m_linkState = 0; // whatever the owner did, the search below starts from a closed link
    }
    if (m_port.isOpen())
        return;
    const QList<PortInfo> ports = m_port.availablePorts();
    const int bridge = findBridge(ports);
    if (bridge < 0) {
        m_linkState = 0;
        return;
    }
    m_port.setPortName(ports.at(bridge).portName);
    if (!openAndConfigure()) {
        emit setupFailed(m_port.errorString());
        emit title(LinkTitle::ConnectionError);
        return;
    }
    m_holdOff = HoldOffAfterOpen;
    m_linkState = 1;
    emit send(QByteArray("U\x01", 2));
    emit title(LinkTitle::Requesting);
}

bool LinkWatchdog::openAndConfigure()
{
    return m_port.open(QIODevice::ReadWrite) && m_port.setBaudRate(921600) &&
           m_port.setDataTerminalReady(true) && m_port.setRequestToSend(true) &&
           m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
           m_port.setDataBits(QSerialPort::Data8) && m_port.setFlowControl(QSerialPort::NoFlowControl);
}
