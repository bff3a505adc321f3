#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class AnalyserPort;

enum class LinkTitle { NoConnection, Requesting, Connected, NoResponse, ConnectionError };

// The connection watchdog: finds the analyser's FTDI bridge, opens it, asks the analyser to connect,
// polls it while it is alive and lets go of it when it falls silent. Runs once per step() call; the
// owner drives it from its connection timer. Link state: 0 closed, 1 connect requested, 2..12 alive.
class LinkWatchdog : public QObject
{
    Q_OBJECT
public:
    static constexpr quint8 HoldOffAfterOpen = 6;
    static constexpr quint8 HoldOffAfterNoResponse = 4;
    static constexpr quint8 MaxAlive = 12;

    explicit LinkWatchdog(AnalyserPort& port, QObject* parent = nullptr);

    quint8 linkState() const { return m_linkState; }
    quint8 holdOff() const { return m_holdOff; }

    // One watchdog run; does nothing while a firmware transfer holds the link.
    void step(bool updateBusy);
    // Any message from the analyser.
    void heard() { m_linkState = 2; }
    // Link state 0 and the port closed, nothing announced.
    void closePort();

    // Index of the last port whose manufacturer is exactly "FTDI", or -1.
    static int findBridge(const QList<struct PortInfo>& ports);

signals:
    void send(const QByteArray& payload);
    void title(LinkTitle which);
    // The owner's full close (title, icon, widgets); it calls closePort().
    void dropRequested();
    void setupFailed(const QString& errorString);

private:
    bool openAndConfigure();

    AnalyserPort& m_port;
    quint8 m_linkState = 0;
    quint8 m_holdOff = 0;
};
