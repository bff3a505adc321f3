#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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
    parser.addOption(demo);
    parser.addOption(port);
    parser.process(app);

    StartOptions o;
    o.demo = parser.isSet(demo);
    o.port = parser.value(port);
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
