#pragma once

#include <QSerialPort>
#include <QString>

enum class PortOpenProblem { Other, NoPermission, Busy };

// Qt reports a missing access right and a port held by someone else alike, as PermissionError; the
// device file's own access rights tell the two apart.
PortOpenProblem classifyOpenFailure(QSerialPort::SerialPortError error, const QString& devicePath);

// The device file of a listed port ("ttyUSB0" lives in /dev; an explicit device is a path already).
QString portDevicePath(const QString& portName);

// The text of the "Error" box when the analyser's port cannot be opened or set up: plain words and the
// fix for the two problems a user can mend, Qt's own error string for everything else.
QString portOpenErrorText(QSerialPort::SerialPortError error, const QString& portName, const QString& detail);
