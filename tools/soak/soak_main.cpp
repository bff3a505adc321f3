// kv847-soak: the real window (shell, main window, dark style, as start-up composes them) on the
// virtual analyser at the full link rate for a given time, while a seeded user switches tabs and
// pairs, scans, saves, loads and captures, and link faults strike one at a time. The run itself is
// a child process, so that a crash or a hang is reported instead of taking the report with it.
//   kv847-soak --minutes 30 --seed 7
// Exit code: 0 passed; 1 a fault not recovered in time, or RSS grew by the limit or more; 2 bad
// options; 3 the run crashed or hung; 77 skipped (a sanitized build).
#include "tools/soak/soakrun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <unistd.h>

namespace
{
const char* const ChildFlag = "--soak-child";
int g_warnings = 0;

// The program's own traces ("TX-", "RX: ") would flood the output at full rate; warnings are kept.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    if (++g_warnings <= 20 || type != QtWarningMsg)
        std::fprintf(stderr, "kv847-soak: %s\n", qPrintable(text));
    if (type == QtFatalMsg)
        abort();
}

int usage(const QString& text)
{
    std::fprintf(stderr, "kv847-soak: %s\n", qPrintable(text));
    return 2;
}

struct Parsed {
    SoakOptions options;
    bool child = false;
    QString error;
};

Parsed parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak run of the KV847 window on the virtual analyser."));
    parser.addHelpOption();
    const QCommandLineOption minutes(QStringLiteral("minutes"), QStringLiteral("Length of the run."),
                                     QStringLiteral("M"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Length of the run."),
                                     QStringLiteral("S"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the user, the faults and the cable."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption recover(QStringLiteral("recover-within"),
                                     QStringLiteral("Milliseconds a fault may take to recover (4000; relax only "
                                                    "for short runs on a loaded machine)."),
                                     QStringLiteral("MS"), QStringLiteral("4000"));
    const QCommandLineOption warmup(QStringLiteral("warmup"),
                                    QStringLiteral("Seconds of warm-up before RSS is taken (a tenth of the run)."),
                                    QStringLiteral("S"));
    const QCommandLineOption growth(QStringLiteral("max-growth-kb"),
                                    QStringLiteral("RSS growth after warm-up that fails the run (1024)."),
                                    QStringLiteral("KB"), QStringLiteral("1024"));
    const QCommandLineOption workdir(QStringLiteral("workdir"),
                                     QStringLiteral("Scratch folder for data files and reports (a temporary one)."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Log every fault."));
    QCommandLineOption child(QString::fromLatin1(ChildFlag + 2), QStringLiteral("(internal)"));
    child.setFlags(QCommandLineOption::HiddenFromHelp);
    for (const auto& o : {minutes, seconds, seed, recover, warmup, growth, workdir, verbose, child})
        parser.addOption(o);
    parser.process(arguments);

    Parsed p;
    p.child = parser.isSet(child);
    p.options.verbose = parser.isSet(verbose);
    p.options.workDir = parser.value(workdir);
    bool ok = true;
    if (parser.isSet(minutes))
        p.options.durationMs = qint64(parser.value(minutes).toDouble(&ok) * 60000);
    else if (parser.isSet(seconds))
        p.options.durationMs = qint64(parser.value(seconds).toDouble(&ok) * 1000);
    if (!ok || p.options.durationMs <= 0)
        p.error = QStringLiteral("--minutes or --seconds needs a length above 0");
    p.options.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        p.error = QStringLiteral("--seed needs a whole number from 0 to 4294967295");
    p.options.recoverWithinMs = parser.value(recover).toInt(&ok);
    if (!ok || p.options.recoverWithinMs <= 0)
        p.error = QStringLiteral("--recover-within needs milliseconds above 0");
    if (parser.isSet(warmup)) {
        p.options.warmupMs = qint64(parser.value(warmup).toDouble(&ok) * 1000);
        if (!ok || p.options.warmupMs < 0)
            p.error = QStringLiteral("--warmup needs seconds");
    }
    p.options.maxGrowthKb = parser.value(growth).toLongLong(&ok);
    if (!ok || p.options.maxGrowthKb <= 0)
        p.error = QStringLiteral("--max-growth-kb needs kilobytes above 0");
    return p;
}

int report(const SoakOptions& o, const SoakResult& r)
{
    int faults = 0;
    qint64 longest = 0;
    FaultKind longestKind = FaultKind::Unplug;
    QStringList perKind, longestPerKind;
    for (int k = 0; k < FaultKinds; ++k) {
        const size_t i = size_t(k);
        faults += r.faults[i];
        perKind << QStringLiteral("%1 %2").arg(faultName(FaultKind(k))).arg(r.faults[i]);
        longestPerKind << QStringLiteral("%1 %2 s").arg(faultName(FaultKind(k))).arg(r.longestMs[i] / 1000.0, 0, 'f', 2);
        if (r.longestMs[i] > longest) {
            longest = r.longestMs[i];
            longestKind = FaultKind(k);
        }
    }
    QStringList actions;
    for (const auto& [name, n] : r.actions)
        actions << QStringLiteral("%1 %2").arg(name).arg(n);

    std::printf("kv847-soak: %.1f s, seed %u, recovery limit %.1f s\n", r.elapsedMs / 1000.0, o.seed,
                o.recoverWithinMs / 1000.0);
    std::printf("faults: %d (%s)\n", faults, qPrintable(perKind.join(", ")));
    std::printf("unrecovered: %d (later than the limit or never)\n", r.unrecovered());
    std::printf("longest recovery: %.2f s (%s); per kind: %s\n", longest / 1000.0, faultName(longestKind),
                qPrintable(longestPerKind.join(", ")));
    std::printf("reconnects: %d; pair reselected after a reconnect: %d\n", r.reconnects, r.pairsLostOnReconnect);
    if (r.rssWarmKb < 0 || r.rssEndKb < 0)
        std::printf("RSS: not measured (warm-up did not end before the run did, or no /proc)\n");
    else
        std::printf("RSS: %lld kB after warm-up (%.0f s), %lld kB at the end, growth %+lld kB (limit %lld kB), peak %lld kB\n",
                    r.rssWarmKb, r.warmupEndMs / 1000.0, r.rssEndKb, r.growthKb(), o.maxGrowthKb, r.rssPeakKb);
    if (!r.kindsWarm.isEmpty())
        std::printf("RSS by kind: after warm-up %s; at the end %s\n", qPrintable(r.kindsWarm), qPrintable(r.kindsEnd));
    if (r.heapWarmKb >= 0 && r.heapEndKb >= 0)
        std::printf("heap in use: %lld kB after warm-up, %lld kB at the end, growth %+lld kB\n", r.heapWarmKb,
                    r.heapEndKb, r.heapEndKb - r.heapWarmKb);
    if (r.cacheWarmKb >= 0 && r.cacheEndKb >= 0)
        std::printf("pixmap cache (emptied before each measurement): %lld kB after warm-up, %lld kB at the end\n",
                    r.cacheWarmKb, r.cacheEndKb);
    std::printf("link: %.1f MB sent, %.1f kB/s while streaming (%.0f s of %.0f), shortfall %.1f MB\n",
                r.linkBytes / 1e6, r.streamingSeconds > 0 ? r.streamingBytes / r.streamingSeconds / 1000 : 0.0,
                r.streamingSeconds, r.elapsedMs / 1000.0, r.shortfallBytes / 1e6);
    std::printf("actions: %s\n", qPrintable(actions.join(", ")));
    std::printf("boxes and surprises: %d%s\n", int(r.unexpectedBoxes.size()),
                r.unexpectedBoxes.isEmpty() ? "" : qPrintable(": " + r.unexpectedBoxes.mid(0, 5).join("; ")));
    std::printf("warnings: %d\n", g_warnings);
    const bool grew = r.growthKb() >= o.maxGrowthKb;
    const bool measured = r.rssWarmKb >= 0 && r.rssEndKb >= 0;
    const bool passed = r.unrecovered() == 0 && !grew && measured && faults > 0;
    std::printf("verdict: %s\n", passed ? "PASS" : "FAIL");
    std::fflush(stdout);
    return passed ? 0 : 1;
}

int runChild(int argc, char* argv[], const SoakOptions& options)
{
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString work = options.workDir.isEmpty() ? scratch.path() : options.workDir;
    if (!QDir().mkpath(work) || !QDir::setCurrent(work))
        return usage(QStringLiteral("cannot work in %1").arg(work));
    SoakResult result;
    {
        SoakRun run(options, work);
        result = run.run();
        // Diagnosis: leave without tearing down, so that a heap profiler lists what was alive.
        if (qEnvironmentVariableIsSet("KV847_SOAK_NO_TEARDOWN")) {
            std::fflush(stdout);
            _exit(report(options, result));
        }
    }
    result.warnings = g_warnings;
    return report(options, result);
}

// Runs the soak in a child and tells a crash or a hang from a failed run.
int supervise(int argc, char* argv[], const SoakOptions& options)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    args << QString::fromLatin1(ChildFlag);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(app.applicationFilePath(), args);
    if (!child.waitForStarted(30000))
        return usage(QStringLiteral("cannot start the run: %1").arg(child.errorString()));
    // The run ends itself; a stuck event loop does not.
    const int allowedMs = int(qMin<qint64>(options.durationMs + 180000, std::numeric_limits<int>::max()));
    if (!child.waitForFinished(allowedMs)) {
        child.kill();
        child.waitForFinished(5000);
        std::printf("verdict: FAIL (the run hung: no end %d s after it was due)\n", 180);
        return 3;
    }
    if (child.exitStatus() == QProcess::CrashExit) {
        std::printf("verdict: FAIL (the run crashed: %s)\n", qPrintable(child.errorString()));
        return 3;
    }
    return child.exitCode();
}
} // namespace

// ctest counts this exit code as a skip.
constexpr int SkippedExit = 77;

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Parsed p;
    {
        QCoreApplication parsing(argc, argv);
        p = parse(arguments);
    }
    if (!p.error.isEmpty())
        return usage(p.error);
    // Under the sanitizers recovery times and RSS say nothing about the program as it ships.
    if (!p.child && qEnvironmentVariableIsSet("KV847_SANITIZED")) {
        std::printf("soak: skipped in a sanitized build\n");
        return SkippedExit;
    }
    return p.child ? runChild(argc, argv, p.options) : supervise(argc, argv, p.options);
}
