#pragma once

#include "link/framecodec.h"
#include "sim/cablemodel.h"
#include "sim/simrandom.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

class VirtualAnalyser;

// What one measuring mode adds to the analyser: its commands, its part of the status message and the
// messages it streams. Registered with VirtualAnalyser::registerMode under the mode's code.
class ModeHandler
{
public:
    virtual ~ModeHandler();

    virtual void entered(VirtualAnalyser& analyser);
    virtual void left(VirtualAnalyser& analyser);
    // A command the core does not handle (payload without the trailing zero); true when it was taken.
    // The handler of the current mode is asked first, then the others, so settings for a mode that is
    // not shown still stick.
    virtual bool command(VirtualAnalyser& analyser, const QByteArray& payload);
    // Status of the current mode: the core fills bytes 0..8 (4, 5 and 8 zero); the handler may set
    // bytes 4, 5 and 8 and append more.
    virtual void fillStatus(const VirtualAnalyser& analyser, QByteArray& status) const;
    // Every talk tick while connected in this mode, after the status.
    virtual void tick(VirtualAnalyser& analyser);
    // The analyser switched to another pair while in this mode.
    virtual void pairChanged(VirtualAnalyser& analyser);
    // Whether the talk pace sends the status in this mode (it is always sent when asked for).
    virtual bool periodicStatus(const VirtualAnalyser& analyser) const;
};

// Parses a firmware version written as the program shows it, "2.05" -> major 2, minor 5.
bool parseFirmwareVersion(const QString& text, quint8* major, quint8* minor);

// The analyser's side of the link. Bytes the program writes go into receive(); every frame the
// analyser sends comes out of output() as one chunk. It answers the connect request, the keep-alive
// poll, mode and pair select, and while connected reports its status when it changes and its battery
// at a steady pace.
class VirtualAnalyser : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTalkIntervalMs = 400;
    static constexpr int TicksPerBattery = 5;
    static constexpr int NeverAnswer = -1;

    static constexpr quint8 ModeFirmware = 1;
    static constexpr quint8 ModeLfa = 4;
    static constexpr quint8 ModeWrx = 5;
    static constexpr quint8 ModeNljd = 6;
    static constexpr quint8 ModeRefl = 7;
    static constexpr int StatusSize = 9;

    // CoreOnly: connect, keep-alive, mode and pair select, status and battery, and no measuring modes.
    enum class Modes { Standard, CoreOnly };

    explicit VirtualAnalyser(quint32 seed = CableModel::DefaultSeed, QObject* parent = nullptr,
                             Modes modes = Modes::Standard);
    ~VirtualAnalyser() override;

    const CableModel& cable() const { return m_cable; }
    bool isConnected() const { return m_connected; }
    quint8 mode() const { return m_mode; }
    quint8 wireA() const { return m_wireA; }
    quint8 wireB() const { return m_wireB; }
    quint8 batteryLevel() const;
    bool isCharging() const { return m_charging; }
    quint8 firmwareMajor() const { return m_fwMajor; }
    quint8 firmwareMinor() const { return m_fwMinor; }

    void setFirmwareVersion(quint8 major, quint8 minor);
    // Level code 0..5 (0 empty, 5 full).
    void setBattery(quint8 level, bool charging);

    // Makes the code a known mode (R with it is obeyed) and gives it a handler; replaces an earlier one.
    void registerMode(quint8 code, std::unique_ptr<ModeHandler> handler);
    ModeHandler* modeHandler(quint8 code) const;
    bool isKnownMode(quint8 code) const;

    // The timer that drives tick() while connected; off for tests that call tick() themselves.
    void setAutoTalk(bool on);
    bool autoTalk() const { return m_autoTalk; }
    void setTalkInterval(int ms);

    // Fault injection, all switchable at any time.
    // A hung analyser: it neither answers nor talks, and drops what it is sent.
    void setSilent(bool on);
    bool isSilent() const { return m_silent; }
    // Line noise: a burst of garbage bytes before every frame.
    void setGarbage(bool on) { m_garbage = on; }
    // Every frame goes out with a wrong checksum.
    void setBadChecksum(bool on) { m_badChecksum = on; }
    // Delay of the answer to the connect request in ms; 0 at once, NeverAnswer for never.
    void setConnectDelay(int ms) { m_connectDelayMs = ms; }
    int connectDelay() const { return m_connectDelayMs; }
    // One burst of line noise now. It holds no end byte, so it can never complete a frame.
    void sendGarbage(int count);
    // The cable is pulled out for a moment: the host is forgotten and the port reports the loss.
    void dropLink();

    // The user switched pairs on the analyser itself: switch and report it at once.
    void reportPair(quint8 a, quint8 b);

    // For mode handlers: frame and send one message (subject to the faults above).
    void send(const QByteArray& payload);
    QByteArray statusPayload() const;
    void sendStatus();

public slots:
    void receive(const QByteArray& bytes);
    // One beat of the talk pace: the status when it changed, every TicksPerBattery beats the battery,
    // then the mode.
    void tick();
    // The host side of the link went away (port closed, cable pulled): stop talking until "U" 1.
    void hostLost();

signals:
    void output(const QByteArray& bytes);
    void linkDropped();

protected:
    // One complete command from the program, without the trailing zero. The core handles U, #, R and
    // I and passes everything else to the mode handlers.
    virtual void onCommand(char kind, const QByteArray& payload);

private:
    void answerConnect();
    void setConnected(bool on);
    void setMode(quint8 code);
    void switchPair(quint8 a, quint8 b);
    void stepBattery();
    bool statusChanged() const;
    QByteArray badChecksumFrame(const QByteArray& payload) const;

    CableModel m_cable;
    SimRandom m_noise;
    FrameReceiver m_receiver;
    QTimer m_talkTimer;
    QTimer m_connectTimer;
    std::map<quint8, std::unique_ptr<ModeHandler>> m_handlers;

    bool m_connected = false;
    bool m_autoTalk = true;
    quint8 m_mode = ModeLfa;
    quint8 m_wireA = 0;
    quint8 m_wireB = 0;
    quint8 m_fwMajor = 2;
    quint8 m_fwMinor = 5;
    int m_batteryPercent = 100;
    bool m_charging = false;
    quint32 m_ticks = 0;
    QByteArray m_lastStatus; // as last sent on this connection

    bool m_silent = false;
    bool m_garbage = false;
    bool m_badChecksum = false;
    int m_connectDelayMs = 0;
};
