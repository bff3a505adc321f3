// The real program on a real serial device: kv847 --port on a pseudo-terminal served by the virtual
// analyser, stopped by a signal as a terminal or a service manager would.
#include "sim/ptyserver.h"
#include "sim/virtualanalyser.h"

#include <QProcess>
#include <QtTest>
#include <csignal>

namespace
{
class RecordingAnalyser : public VirtualAnalyser
{
public:
    QList<QByteArray> commands;

protected:
    void onCommand(char kind, const QByteArray& payload) override
    {
        commands.append(payload);
        VirtualAnalyser::onCommand(kind, payload);
    }
};
} // namespace

class TestShutdown : public QObject
{
    Q_OBJECT
private slots:
    void signalStillSaysGoodbye_data();
    void signalStillSaysGoodbye();
};

void TestShutdown::signalStillSaysGoodbye_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestShutdown::signalStillSaysGoodbye()
{
    if (qEnvironmentVariableIsSet("KV847_SANITIZED"))
        QSKIP("a sanitized program starts too slowly for the keep-alive deadline");
    QFETCH(int, signal);
    RecordingAnalyser analyser;
    PtyServer server(analyser);
    QVERIFY2(server.start(), qPrintable(server.errorString()));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(KV847_PATH, {"--port", server.slavePath()});
    QVERIFY(program.waitForStarted(5000));

    // Alive: the keep-alive polls only go out once the connect answer was taken.
    QTRY_VERIFY_WITH_TIMEOUT(analyser.commands.contains(QByteArray("#")), 15000);
    QVERIFY(analyser.commands.contains(QByteArray("U\x01", 2)));
    QVERIFY(analyser.commands.contains(QByteArray("R\x04", 2)));
    QVERIFY(!analyser.commands.contains(QByteArray("U\x00", 2)));

    ::kill(pid_t(program.processId()), signal);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(analyser.commands.contains(QByteArray("U\x00", 2)), 5000);
    QVERIFY(!analyser.isConnected());
}

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
