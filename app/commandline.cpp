#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

StartOptions parseStartOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Desktop companion of the KV847 cable pair analyser."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(
        "demo", QCoreApplication::translate("main", "Run on the built-in virtual analyser."));
    const QCommandLineOption port("port",
                                  QCoreApplication::translate("main",
                                                              "Use this serial device instead of "
                                                              "looking for the analyser's FTDI bridge."),
                                  QCoreApplication::translate("main", "device"));
    const QCommandLineOption workdir(
        "workdir",
        QCoreApplication::translate("main", "Work in this folder (reports, files); made when missing."),
        QCoreApplication::translate("main", "folder"));
    const QCommandLineOption desktop(
        "desktop", QCoreApplication::translate(
                       "main", "Started from the desktop's menu: work in KV847 in the documents folder."));
    parser.addOption(demo);
    parser.addOption(port);
    parser.addOption(workdir);
    parser.addOption(desktop);
    parser.process(app);

    StartOptions o;
    o.demo = parser.isSet(demo);
    o.port = parser.value(port);
    o.workdir = parser.value(workdir);
    o.desktop = parser.isSet(desktop);
    if (parser.isSet(workdir) && o.workdir.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("main", "--workdir needs a folder.")));
        std::exit(1);
    }
    if (o.demo && !o.port.isEmpty()) {
        std::fprintf(
            stderr, "%s\n",
            qPrintable(QCoreApplication::translate("main", "--demo and --port exclude each other.")));
        std::exit(1);
    }
    if (parser.isSet(port) && o.port.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QCoreApplication::translate("main", "--port needs a device.")));
        std::exit(1);
    }
    return o;
}

QString userWorkFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("KV847"));
}

QString chooseWorkFolder(const StartOptions& options, const QString& current, const QString& userFolder)
{
    if (!options.workdir.isEmpty())
        return QDir(current).absoluteFilePath(options.workdir);
    if (options.desktop || QDir(current).isRoot())
        return userFolder;
    return current;
}

bool enterWorkFolder(const QString& folder, QString* error)
{
    if (!QDir().mkpath(folder)) {
        *error = QCoreApplication::translate("main", "Cannot make the folder %1.").arg(folder);
        return false;
    }
    const QFileInfo info(folder);
    if (!info.isWritable() || !QDir::setCurrent(folder)) {
        *error = QCoreApplication::translate("main", "Cannot work in the folder %1.").arg(folder);
        return false;
    }
    return true;
}
