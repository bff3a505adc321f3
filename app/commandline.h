#pragma once

#include <QString>

class QCoreApplication;

struct StartOptions {
    bool demo = false; // the built-in virtual analyser instead of a serial port
    QString port;      // a serial device to use instead of looking for the FTDI bridge
};

// Reads the command line; --help and --version print and end the process, as does a bad option.
StartOptions parseStartOptions(const QCoreApplication& app);
