#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;
class VirtualAnalyser;

// Serves a VirtualAnalyser on a pseudo-terminal: the program opens the slave device as if it were the
// analyser's serial port. The server keeps the slave open itself so that its raw settings hold and the
// master never reports a hang-up between two sessions of the program.
class PtyServer : public QObject
{
    Q_OBJECT
public:
    // A connected host polls several times a second; after this much silence it is taken as gone, so
    // nothing piles up for the next program that opens the device.
    static constexpr int HostSilenceMs = 3000;
    // Bytes kept for a host that does not read; beyond this the analyser's output is dropped.
    static constexpr int MaxPending = 64 * 1024;

    explicit PtyServer(VirtualAnalyser& analyser, QObject* parent = nullptr);
    ~PtyServer() override;

    bool start();
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

private:
    void readHost();
    void writeHost(const QByteArray& bytes);
    void flush();
    void checkHost();
    bool fail(const QString& what);

    VirtualAnalyser& m_analyser;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_pending;
    QElapsedTimer m_lastHeard;
    QTimer m_hostCheck;
};
