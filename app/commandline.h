#pragma once

#include <QString>

class MainWindow;
class QCoreApplication;
class ReplayAnalyserPort;

struct StartOptions {
    bool demo = false; // the built-in virtual analyser instead of a serial port
    QString port;      // a serial device to use instead of looking for the FTDI bridge
    QString record;    // a file that receives every byte of the link
    QString replay;    // a recording to play instead of a live analyser
    double speed = 1;  // pace of the replay
};

// Reads the command line; --help and --version print and end the process, as does a bad option.
StartOptions parseStartOptions(const QCoreApplication& app);

// During a replay the window shows the tab and the pair the recording's user chose when they chose
// them; the analyser's messages that followed then land where they landed.
void followRecordedSelections(ReplayAnalyserPort& port, MainWindow& window);
