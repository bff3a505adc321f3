#pragma once

#include <QString>

class MainWindow;
class QCoreApplication;
class ReplayAnalyserPort;

struct StartOptions {
    bool demo = false;    // the built-in virtual analyser instead of a serial port
    QString port;         // a serial device to use instead of looking for the FTDI bridge
    QString workdir;      // the folder to work in, chosen on the command line
    bool desktop = false; // started from the desktop's menu
    QString record;       // a file that receives every byte of the link
    QString replay;       // a recording to play instead of a live analyser
    double speed = 1;     // pace of the replay
    bool translations = false; // print where each language's file is found, then end
};

// Reads the command line; --help and --version print and end the process, as does a bad option.
StartOptions parseStartOptions(const QCoreApplication& app);

// During a replay the window shows the tab and the pair the recording's user chose when they chose
// them; the analyser's messages that followed then land where they landed.
void followRecordedSelections(ReplayAnalyserPort& port, MainWindow& window);

// The user's own folder for the program: KV847 in the documents folder.
QString userWorkFolder();

// Where reports, file dialogs and translations start: the --workdir folder; the user's folder when
// started from the desktop, or from "/" where nothing of ours belongs; else the current directory,
// as a terminal user expects.
QString chooseWorkFolder(const StartOptions& options, const QString& current, const QString& userFolder);

// Makes the folder when missing and makes it the current directory; the reason on failure.
bool enterWorkFolder(const QString& folder, QString* error);
