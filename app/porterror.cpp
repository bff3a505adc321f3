#include "porterror.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

PortOpenProblem classifyOpenFailure(QSerialPort::SerialPortError error, const QString& devicePath)
{
    if (error != QSerialPort::PermissionError)
        return PortOpenProblem::Other;
    // We may read and write the device, yet it would not open: another program holds it (its lock
    // file or an exclusive open).
    if (::access(QFile::encodeName(devicePath).constData(), R_OK | W_OK) == 0)
        return PortOpenProblem::Busy;
    return PortOpenProblem::NoPermission;
}

QString portDevicePath(const QString& portName)
{
    return portName.startsWith('/') ? portName : QStringLiteral("/dev/") + portName;
}

QString portOpenErrorText(QSerialPort::SerialPortError error, const QString& portName, const QString& detail)
{
    const QString device = portDevicePath(portName);
    QString text;
    switch (classifyOpenFailure(error, device)) {
    case PortOpenProblem::Other:
        return detail;
    case PortOpenProblem::NoPermission:
        text = QCoreApplication::translate(
                   "MainWindow",
                   "The analyser is connected at %1, but this user may not open it.\n\n"
                   "Serial ports belong to the group \"dialout\". Add your user to it, for example "
                   "with the command\n    sudo usermod -aG dialout $USER\n"
                   "then log out and log in again.")
                   .arg(device);
        break;
    case PortOpenProblem::Busy:
        text = QCoreApplication::translate(
                   "MainWindow",
                   "The analyser is connected at %1, but another program is using this port.\n\n"
                   "Close the other program (a terminal program or a second KV847 window); "
                   "the connection is then made by itself.")
                   .arg(device);
        break;
    }
    if (!detail.isEmpty())
        text += QStringLiteral("\n\n") + QCoreApplication::translate("MainWindow", "System message: %1").arg(detail);
    return text;
}
