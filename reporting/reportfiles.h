#pragma once

#include <QDateTime>
#include <QFileInfoList>
#include <QList>
#include <QString>

// Names and places of the report tree: "reports" / run folder / mode folder / file.
namespace Report
{

// Mode index of the report pages: 1 LFA, 2 WRx, 3 NLJD, 4 REFL.
constexpr int Modes = 4;
QString modeFolder(int mode); // "LFA", "WRx", "NLJD", "REFL"; empty for other values

QString runFolderName(const QDateTime& time);  // D071226_T011649
QString pairLabel(quint8 wireA, quint8 wireB); // 3-4, also 1-9 for the shield

// Everything a capture can write, in the order the capture handles them per mode.
enum class Item {
    LfaOsc,
    LfaSpec,
    LfaSwitchShot,
    LfaSwitchBook,
    WrxSpec,
    WrxOsc,
    WrxSwitchShot,
    WrxSwitchBook,
    WrxSignalBook,
    NljdHarmonics,
    NljdSwitchShot,
    ReflGraph,
    ReflSwitchShot,
    ReflDefectsBook,
    ReflCompareBook
};
int itemMode(Item item);
// The file's path below the run folder, e.g. "/LFA/lfa_osc_3-4_011649.png"; T is "hhmmss".
// allPairs matters only for the signal and defects workbooks.
QString itemFile(Item item, const QString& pair, const QString& time, bool allPairs = false);

// The report page grid: n columns of `cell` pixels for a table of the given width.
struct Grid {
    int columns = 4;
    int cell = 0;
};
constexpr int MaxColumns = 10;
Grid tileGrid(int tableWidth);

// --- the folder tree on disk; root is the "reports" folder ---

// Removes the run folders in which nothing was saved and makes a new one for `now`.
// Returns its name, empty when it could not be made.
QString startRunFolder(const QString& root, const QDateTime& now);

struct RunFolder {
    QString name;
    QDateTime created;
    int files = 0; // plain files in its four mode folders
};
QList<RunFolder> runFolders(const QString& root); // newest first
// "07/12/26 01:16:49    (3 files)"; filesWord is the translated " files)".
QString runFolderText(const RunFolder& folder, const QString& filesWord);

// The plain files of one mode folder of a run folder, newest first.
QFileInfoList modeFiles(const QString& root, const QString& runFolder, int mode);
// Birth time where the file system keeps one, else the last change.
QDateTime createdTime(const QFileInfo& info);

} // namespace Report
