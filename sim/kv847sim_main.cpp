// kv847-sim: the virtual analyser on a pseudo-terminal. Prints the device path as its first line, then
// serves until SIGINT or SIGTERM; point the program at it with "kv847 --port PATH". With --record FILE
// it also writes what it served as a link recording, for "kv847 --replay FILE".

#include "link/framecodec.h"
#include "link/linkrecording.h"
#include "link/quitsignals.h"
#include "sim/mode_firmware.h"
#include "sim/ptyserver.h"
#include "sim/virtualanalyser.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace
{
// 32 KiB: long enough to watch the bar run (some ten seconds).
constexpr int DemoFirmwareBytes = 32 * 1024;
// The analyser with everything it is told and everything it says on record. It hears commands
// already decoded, so they are recorded as the frames that carry them.
class RecordedAnalyser : public VirtualAnalyser
{
public:
    RecordedAnalyser(quint32 seed, LinkRecordWriter& writer) : VirtualAnalyser(seed), m_writer(writer)
    {
        connect(this, &VirtualAnalyser::output, &m_writer,
                [this](const QByteArray& bytes) { m_writer.add(LinkDirection::FromAnalyser, bytes); });
    }

protected:
    void onCommand(char kind, const QByteArray& payload) override
    {
        m_writer.add(LinkDirection::ToAnalyser, Frame::encode(payload));
        VirtualAnalyser::onCommand(kind, payload);
    }

private:
    LinkRecordWriter& m_writer;
};

int fatal(const QString& text)
{
    std::fprintf(stderr, "kv847-sim: %s\n", qPrintable(text));
    return 2;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kv847-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Virtual KV847 analyser on a pseudo-terminal; prints the device path first."));
    parser.addHelpOption();
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the simulated cable."), QStringLiteral("N"),
                                        QString::number(CableModel::DefaultSeed));
    const QCommandLineOption fwOption(QStringLiteral("version-fw"),
                                      QStringLiteral("Firmware version reported on connect, as M.mm."),
                                      QStringLiteral("M.mm"), QStringLiteral("2.05"));
    const QCommandLineOption delayOption(QStringLiteral("connect-delay"),
                                         QStringLiteral("Answer the connect request after MS ms; -1 never."),
                                         QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption writeFwOption(
        QStringLiteral("write-firmware"),
        QStringLiteral("Write a demo firmware file (version 2.10) to FILE and exit."), QStringLiteral("FILE"));
    const QCommandLineOption faultOption(
        QStringLiteral("firmware-fault"),
        QStringLiteral("Spoil the next firmware update once: refuse, silent or drop."), QStringLiteral("KIND"));
    const QCommandLineOption faultBlockOption(QStringLiteral("fault-block"),
                                              QStringLiteral("Block at which the firmware fault strikes."),
                                              QStringLiteral("N"), QStringLiteral("20"));
    parser.addOption(seedOption);
    parser.addOption(fwOption);
    const QCommandLineOption recordOption(QStringLiteral("record"),
                                          QStringLiteral("Write what is served to FILE, for kv847 --replay."),
                                          QStringLiteral("FILE"));
    parser.addOption(delayOption);
    parser.addOption(writeFwOption);
    parser.addOption(faultOption);
    parser.addOption(faultBlockOption);
    parser.addOption(recordOption);
    parser.process(app);

    bool ok = false;
    if (parser.isSet(writeFwOption)) {
        QFile file(parser.value(writeFwOption));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(FirmwareMode::demoImage(2, 10, DemoFirmwareBytes)) != DemoFirmwareBytes + 15)
            return fatal(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        return 0;
    }
    FirmwareMode::Fault fault = FirmwareMode::Fault::None;
    if (parser.isSet(faultOption)) {
        const QString kind = parser.value(faultOption);
        if (kind == QLatin1String("refuse"))
            fault = FirmwareMode::Fault::Refuse;
        else if (kind == QLatin1String("silent"))
            fault = FirmwareMode::Fault::Silence;
        else if (kind == QLatin1String("drop"))
            fault = FirmwareMode::Fault::DropLink;
        else
            return fatal(QStringLiteral("--firmware-fault needs refuse, silent or drop"));
    }
    const int faultBlock = parser.value(faultBlockOption).toInt(&ok);
    if (!ok || faultBlock < 1)
        return fatal(QStringLiteral("--fault-block needs a block number from 1"));

    const quint32 seed = parser.value(seedOption).toUInt(&ok);
    if (!ok)
        return fatal(QStringLiteral("--seed needs a whole number from 0 to 4294967295"));
    quint8 major = 0;
    quint8 minor = 0;
    if (!parseFirmwareVersion(parser.value(fwOption), &major, &minor))
        return fatal(QStringLiteral("--version-fw needs a version such as 2.05"));
    const int delay = parser.value(delayOption).toInt(&ok);
    if (!ok || delay < VirtualAnalyser::NeverAnswer)
        return fatal(QStringLiteral("--connect-delay needs milliseconds, or -1 for never"));

    LinkRecordWriter writer;
    if (parser.isSet(recordOption)) {
        QString why;
        if (!writer.open(parser.value(recordOption), QStringLiteral("kv847-sim " KV847_VERSION),
                         QStringLiteral("virtual analyser on a pseudo-terminal, seed %1").arg(seed), &why))
            return fatal(why);
    }
    RecordedAnalyser analyser(seed, writer);
    analyser.setFirmwareVersion(major, minor);
    analyser.setConnectDelay(delay);
    if (auto* firmware = dynamic_cast<FirmwareMode*>(analyser.modeHandler(VirtualAnalyser::ModeFirmware)))
        firmware->setFault(fault, faultBlock);
    PtyServer server(analyser);
    if (!server.start())
        return fatal(server.errorString());

    quitOnTerminationSignals();

    std::printf("%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);
    std::fprintf(stderr, "kv847-sim: serving seed %u, firmware %u.%02u\n", seed, unsigned(major),
                 unsigned(minor));
    return app.exec();
}
