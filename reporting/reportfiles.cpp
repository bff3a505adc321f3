#include "reportfiles.h"

#include <QDir>

namespace Report
{

QString modeFolder(int mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("LFA");
    case 2:
        return QStringLiteral("WRx");
    case 3:
        return QStringLiteral("NLJD");
    case 4:
        return QStringLiteral("REFL");
    default:
        return QString();
    }
}

QString runFolderName(const QDateTime& time)
{
    return time.toString(QStringLiteral("DddMMyy_Thhmmss"));
}

QString pairLabel(quint8 wireA, quint8 wireB)
{
    return QString::number(wireA) + "-" + QString::number(wireB);
}

int itemMode(Item item)
{
    switch (item) {
    case Item::LfaOsc:
    case Item::LfaSpec:
    case Item::LfaSwitchShot:
    case Item::LfaSwitchBook:
        return 1;
    case Item::WrxSpec:
    case Item::WrxOsc:
    case Item::WrxSwitchShot:
    case Item::WrxSwitchBook:
    case Item::WrxSignalBook:
        return 2;
    case Item::NljdHarmonics:
    case Item::NljdSwitchShot:
        return 3;
    case Item::ReflGraph:
    case Item::ReflSwitchShot:
    case Item::ReflDefectsBook:
    case Item::ReflCompareBook:
        return 4;
    }
    return 0;
}

QString itemFile(Item item, const QString& pair, const QString& time, bool allPairs)
{
    const QString p = pair + "_" + time;
    const QString ofPair = allPairs ? time : p;
    QString name;
    switch (item) {
    case Item::LfaOsc:
        name = "lfa_osc_" + p + ".png";
        break;
    case Item::LfaSpec:
        name = "lfa_spec_" + p + ".png";
        break;
    case Item::LfaSwitchShot:
        name = "lfa_sw_" + time + ".png";
        break;
    case Item::LfaSwitchBook:
        name = "lfa_sw_" + time + ".xlsx";
        break;
    case Item::WrxSpec:
        name = "wrx_spec_" + p + ".png";
        break;
    case Item::WrxOsc:
        name = "wrx_osc_" + p + ".png";
        break;
    case Item::WrxSwitchShot:
        name = "wrx_sw_" + time + ".png";
        break;
    case Item::WrxSwitchBook:
        name = "wrx_sw_" + time + ".xlsx";
        break;
    case Item::WrxSignalBook:
        name = "wrx_signal_" + ofPair + ".xlsx";
        break;
    case Item::NljdHarmonics:
        name = "nljd_" + p + ".png";
        break;
    case Item::NljdSwitchShot:
        name = "nljd_sw_" + time + ".png";
        break;
    case Item::ReflGraph:
        name = "refl_" + p + ".png";
        break;
    case Item::ReflSwitchShot:
        name = "refl_sw_" + time + ".png";
        break;
    case Item::ReflDefectsBook:
        name = "refl_def_" + ofPair + ".xlsx";
        break;
    case Item::ReflCompareBook:
        name = "refl_comp_" + p + ".xlsx";
        break;
    }
    return "/" + modeFolder(itemMode(item)) + "/" + name;
}

Grid tileGrid(int tableWidth)
{
    const int w = tableWidth - 20;
    Grid g;
    g.columns = 4;
    g.cell = w / 4;
    if (g.cell > 249) {
        // The fewest columns of at most 249 pixels; the page has ten at most.
        g.columns = 5;
        while (w / g.columns > 249 && g.columns < MaxColumns)
            ++g.columns;
        g.cell = w / g.columns;
    }
    return g;
}

QString startRunFolder(const QString& root, const QDateTime& now)
{
    QDir dir(QDir::currentPath());
    if (!dir.cd(root)) {
        dir.mkpath(root);
        if (!dir.cd(root))
            return QString();
    }
    // A run folder in which nothing was ever saved goes; rmdir refuses any folder that is not empty.
    // The full path, as QDir takes a bare name that starts with ":" for a resource.
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        dir.rmdir(dir.absolutePath() + "/" + name);
    const QString name = runFolderName(now);
    if (!dir.exists(name) && !dir.mkdir(name))
        return QString();
    return name;
}

QList<RunFolder> runFolders(const QString& root)
{
    QList<RunFolder> out;
    const QDir dir(root);
    const QFileInfoList list = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time);
    for (const QFileInfo& info : list) {
        RunFolder f;
        f.name = info.fileName();
        f.created = createdTime(info);
        for (int mode = 1; mode <= Modes; ++mode)
            f.files += QDir(info.filePath() + "/" + modeFolder(mode)).entryList(QDir::Files).size();
        out.append(f);
    }
    return out;
}

QString runFolderText(const RunFolder& folder, const QString& filesWord)
{
    return folder.created.toString(QStringLiteral("dd/MM/yy hh:mm:ss")) + "    (" +
           QString::number(folder.files) + filesWord;
}

QFileInfoList modeFiles(const QString& root, const QString& runFolder, int mode)
{
    const QString folder = modeFolder(mode);
    if (folder.isEmpty() || runFolder.isEmpty())
        return {};
    return QDir(root + "/" + runFolder + "/" + folder).entryInfoList(QDir::Files, QDir::Time);
}

QDateTime createdTime(const QFileInfo& info)
{
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.lastModified();
}

} // namespace Report
