#include "commandline.h"

#include "app/mainwindow.h"
#include "link/replayport.h"
#include "pairs/pairnumbering.h"
#include "ui_mainwindow.h"

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
    const QCommandLineOption record(
        "record", QCoreApplication::translate("main", "Write every byte of the link, with its time, to this file."),
        QCoreApplication::translate("main", "file"));
    const QCommandLineOption replay(
        "replay", QCoreApplication::translate("main", "Run on a recording made with --record instead of an analyser."),
        QCoreApplication::translate("main", "file"));
    const QCommandLineOption speed(
        "speed", QCoreApplication::translate("main", "Replay this many times faster (0.1 to 1000; default 1)."),
        QCoreApplication::translate("main", "factor"), QStringLiteral("1"));
    parser.addOption(record);
    parser.addOption(replay);
    parser.addOption(speed);
    const QCommandLineOption translations(
        "translations", QCoreApplication::translate(
                            "main", "Print the translation file each language loads from, and exit."));
    parser.addOption(translations);
    parser.process(app);

    StartOptions o;
    o.demo = parser.isSet(demo);
    o.port = parser.value(port);
    o.workdir = parser.value(workdir);
    o.desktop = parser.isSet(desktop);
    o.translations = parser.isSet(translations);
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
    // Taken where the user typed them, before the program moves into its work folder.
    o.record = parser.value(record);
    if (!o.record.isEmpty())
        o.record = QFileInfo(o.record).absoluteFilePath();
    o.replay = parser.value(replay);
    if (!o.replay.isEmpty())
        o.replay = QFileInfo(o.replay).absoluteFilePath();
    const auto refuse = [](const char* text) {
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("main", text)));
        std::exit(1);
    };
    if (parser.isSet(record) && o.record.isEmpty())
        refuse(QT_TRANSLATE_NOOP("main", "--record needs a file."));
    if (parser.isSet(replay) && o.replay.isEmpty())
        refuse(QT_TRANSLATE_NOOP("main", "--replay needs a file."));
    if (!o.replay.isEmpty() && (o.demo || !o.port.isEmpty()))
        refuse(QT_TRANSLATE_NOOP("main", "--replay excludes --demo and --port."));
    if (parser.isSet(speed)) {
        if (o.replay.isEmpty())
            refuse(QT_TRANSLATE_NOOP("main", "--speed only applies to --replay."));
        bool ok = false;
        o.speed = parser.value(speed).toDouble(&ok);
        if (!ok || !(o.speed >= 0.1 && o.speed <= 1000))
            refuse(QT_TRANSLATE_NOOP("main", "--speed needs a factor from 0.1 to 1000."));
    }
    return o;
}

void followRecordedSelections(ReplayAnalyserPort& port, MainWindow& window)
{
    QObject::connect(&port, &ReplayAnalyserPort::modeSelected, &window,
                     [&window](int tab) { window.form()->tabWidget->setCurrentIndex(tab); });
    QObject::connect(&port, &ReplayAnalyserPort::pairSelected, &window, [&window](quint8 a, quint8 b) {
        // None (0, 0) is left to the analyser's status, which deselects as it always does.
        const quint8 pair = pairNumberOf(a, b);
        if (pair != 0 && pair != window.currentPair())
            window.swClick(pair, 1);
    });
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
