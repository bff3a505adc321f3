#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/shellstart.h"
#include "app/translations.h"
#include "link/quitsignals.h"
#include "link/recordingport.h"
#include "link/replayport.h"
#include "link/serialanalyserport.h"
#include "shell/darkstyle.h"
#include "shell/framelesswindow.h"
#include "sim/virtualanalyser.h"
#include "sim/virtualport.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QDir>
#include <QIcon>
#include <QShortcut>
#include <cstdio>

static int refuseFile(const QString& text)
{
    std::fprintf(stderr, "kv847: %s\n", qPrintable(text));
    return 2;
}

static void nameTheApplication()
{
    QCoreApplication::setApplicationName("kv847");
    QCoreApplication::setApplicationVersion(QStringLiteral(KV847_VERSION));
}

// Entered before the window exists: its run folder and first file dialogs are made relative to it.
static bool enterChosenWorkFolder(const StartOptions& options)
{
    const QString folder = chooseWorkFolder(options, QDir::currentPath(), userWorkFolder());
    QString error;
    if (enterWorkFolder(folder, &error))
        return true;
    std::fprintf(stderr, "kv847: %s\n", qPrintable(error));
    // A folder the user named must be used or nothing; the default one may fall back to where we are.
    return options.workdir.isEmpty();
}

// Which file each language loads from, seen from the folder the program would work in: a check of
// an installation for the technician. Ends with 1 when a language has no file.
static int printTranslations(const StartOptions& options)
{
    if (!enterChosenWorkFolder(options))
        return 1;
    const QStringList dirs = Translations::searchDirs();
    int missing = 0;
    for (int i = 0; !Translations::fileFor(i).isEmpty(); ++i) {
        const QString name = Translations::fileFor(i);
        const QString file = Translations::locate(name, dirs);
        if (file.isEmpty()) {
            ++missing;
            std::printf("%s\n", qPrintable(QCoreApplication::translate("main", "%1: not found in %2")
                                               .arg(name, dirs.join(QStringLiteral(", ")))));
        } else {
            std::printf("%s: %s\n", qPrintable(name), qPrintable(QDir::toNativeSeparators(file)));
        }
    }
    return missing ? 1 : 0;
}

int main(int argc, char* argv[])
{
    // Help, version and the translations check need no display: answer them before the GUI starts.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "-h" || a == "--help" || a == "--help-all" || a == "-v" || a == "--version") {
            QCoreApplication plain(argc, argv);
            nameTheApplication();
            parseStartOptions(plain);
        }
        if (a == "--translations") {
            QCoreApplication plain(argc, argv);
            nameTheApplication();
            const StartOptions options = parseStartOptions(plain);
            if (options.translations)
                return printTranslations(options);
        }
    }
    // Pictures come in two sizes (name.png, name@2x.png); a screen scaled by two takes the larger.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    nameTheApplication();
    const StartOptions options = parseStartOptions(app);
    if (!enterChosenWorkFolder(options))
        return 1;

    AnalyserPort* port = nullptr;
    VirtualAnalyserPort* virtualPort = nullptr;
    if (options.demo) {
        auto* analyser = new VirtualAnalyser(CableModel::DefaultSeed, &app);
        port = virtualPort = new VirtualAnalyserPort(*analyser);
    } else if (!options.port.isEmpty()) {
        port = new SerialAnalyserPort(nullptr, options.port);
    }

    // --- record and replay of the link ---
    ReplayAnalyserPort* replayPort = nullptr;
    if (!options.replay.isEmpty()) {
        LinkRecording recording;
        QString why;
        if (!LinkRecording::read(options.replay, &recording, &why))
            return refuseFile(QStringLiteral("cannot replay %1: %2").arg(options.replay, why));
        if (recording.cutShort)
            std::fprintf(stderr, "kv847: %s is cut short inside a record; replaying its %d complete records\n",
                         qPrintable(options.replay), recording.records.size());
        std::fprintf(stderr, "kv847: replaying %s (%s, %s, from %s; %.1f s) at %g times its pace\n",
                     qPrintable(options.replay), qPrintable(recording.writer),
                     qPrintable(QDateTime::fromMSecsSinceEpoch(recording.startedMsUtc).toString(Qt::ISODate)),
                     qPrintable(recording.source), recording.durationMs() / 1000.0, options.speed);
        port = replayPort = new ReplayAnalyserPort(recording, options.speed);
    }
    if (!options.record.isEmpty()) {
        if (!options.replay.isEmpty() &&
            QFileInfo(options.record).absoluteFilePath() == QFileInfo(options.replay).absoluteFilePath())
            return refuseFile(QStringLiteral("--record would overwrite the recording being replayed"));
        const QString source = options.demo             ? QStringLiteral("virtual analyser")
                               : !options.port.isEmpty() ? QStringLiteral("serial device ") + options.port
                               : replayPort              ? QStringLiteral("replay of ") + options.replay
                                                         : QStringLiteral("FTDI bridge");
        auto* writer = new LinkRecordWriter;
        QString why;
        if (!writer->open(options.record,
                          QCoreApplication::applicationName() + ' ' + QCoreApplication::applicationVersion(),
                          source, &why)) {
            delete writer;
            return refuseFile(why);
        }
        if (!port)
            port = new SerialAnalyserPort;
        port = new RecordingAnalyserPort(port, writer);
        std::fprintf(stderr, "kv847: recording the link to %s\n", qPrintable(options.record));
    }

    const QString noConnection = QCoreApplication::translate("MainWindow", "KV847: no connection!");
    const QString red = QStringLiteral("#ff5555");
    FramelessWindow shell;
    shell.setWindowTitle(noConnection, red);

    // The shell owns the main window once it is embedded and destroys it first when it goes.
    auto* w = new MainWindow(nullptr, port);
    putIntoShell(shell, w);
    if (replayPort) {
        followRecordedSelections(*replayPort, *w);
        QObject::connect(replayPort, &ReplayAnalyserPort::ended, replayPort, [replayPort] {
            std::fprintf(stderr, "kv847: the recording has ended (%d difference(s) in what was sent)\n",
                         replayPort->differences().size());
        });
    }
    if (virtualPort) {
        // Pull and put back the virtual analyser's cable.
        auto* plug = new QShortcut(QKeySequence("Ctrl+Alt+U"), &shell);
        QObject::connect(plug, &QShortcut::activated, virtualPort, [virtualPort] {
            if (virtualPort->isPlugged())
                virtualPort->unplug();
            else
                virtualPort->plug();
        });
        std::fprintf(stderr,
                     "kv847: running on the virtual analyser (Ctrl+Alt+U pulls or puts back its cable)\n");
    }
    shell.show();
    QApplication::setWindowIcon(QIcon(":/favicon.ico"));
    QApplication::setStyle(new DarkStyle);
    quitOnTerminationSignals();
    return app.exec();
}
