#pragma once

#include "app/scriptedprompts.h"
#include "link/forwardingport.h"
#include "link/framecodec.h"
#include "shell/framelesswindow.h"
#include "sim/simrandom.h"
#include "sim/virtualanalyser.h"
#include "tools/soak/linkfiller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <map>

class MainWindow;
class VirtualAnalyserPort;

enum class FaultKind { Unplug, Silence, Garbage, BadSum, LateConnect };
constexpr int FaultKinds = 5;
const char* faultName(FaultKind kind);

struct SoakOptions {
    qint64 durationMs = 60000;
    quint32 seed = 1;
    // A fault must be recovered this long after its cause is gone.
    int recoverWithinMs = 4000;
    // -1: a tenth of the run; the warm-up also lasts until its tour of every action is done.
    qint64 warmupMs = -1;
    qint64 maxGrowthKb = 1024;
    QString workDir;
    bool verbose = false;
};

struct SoakResult {
    std::array<int, FaultKinds> faults{};
    std::array<int, FaultKinds> late{};  // recovered, but not within the limit
    std::array<int, FaultKinds> never{}; // not recovered at all
    std::array<qint64, FaultKinds> longestMs{};
    int reconnects = 0;
    qint64 warmupEndMs = 0;
    qint64 rssWarmKb = -1;
    qint64 rssEndKb = -1;
    qint64 rssPeakKb = -1;
    qint64 heapWarmKb = -1; // allocated and not freed, as the allocator counts it
    qint64 heapEndKb = -1;
    qint64 cacheWarmKb = -1; // what Qt's pixmap cache held, emptied before each measurement
    qint64 cacheEndKb = -1;
    QString kindsWarm, kindsEnd;
    double linkBytes = 0;
    double streamingSeconds = 0;
    double streamingBytes = 0;
    double shortfallBytes = 0;
    int pairsLostOnReconnect = 0;
    QStringList unexpectedBoxes;
    int warnings = 0;
    std::map<QString, int> actions;
    qint64 elapsedMs = 0;

    int unrecovered() const;
    qint64 growthKb() const { return rssWarmKb < 0 || rssEndKb < 0 ? 0 : rssEndKb - rssWarmKb; }
};

// The program's port with a tap: what the window reads and writes is decoded on the way, so the run
// can tell when data reach the shown tab again and when the window asks to connect.
class TapPort : public ForwardingAnalyserPort
{
    Q_OBJECT
public:
    using ForwardingAnalyserPort::ForwardingAnalyserPort;

    std::function<void(const QByteArray& payload)> onRead;  // with the receiver's trailing zero
    std::function<void(const QByteArray& payload)> onWrite; // without

    qint64 write(const QByteArray& data) override;
    QByteArray readAll() override;
    void close() override;

private:
    FrameReceiver m_in;
    FrameReceiver m_out;
};

// One soak run: the real window on the virtual analyser at the full link rate, driven by a seeded
// user, with link faults injected one at a time.
class SoakRun : public QObject
{
    Q_OBJECT
public:
    SoakRun(const SoakOptions& options, const QString& workDir);
    ~SoakRun() override;

    // Runs the event loop until the run is over.
    SoakResult run();

    static qint64 residentKb();
    static qint64 heapInUseKb();
    // The resident set by kind, as the kernel counts it: "RssAnon 123 kB, RssFile ...".
    static QString residentKinds();

private:
    enum class Phase { Tour, Warming, Random, Ending, Done };
    struct Fault {
        FaultKind kind = FaultKind::Unplug;
        qint64 startMs = 0;
        qint64 clearedMs = -1; // the cause is gone; recovery counts from here
        bool waitingForRequest = false;
        int lateByMs = 0;
    };
    struct Step {
        int delayMs;
        std::function<void()> act;
    };

    qint64 now() const { return m_clock.elapsed(); }
    void log(const QString& text) const;

    // The user.
    void queue(int delayMs, std::function<void()> act);
    void runNextStep();
    // Runs attempt now and again every everyMs, ahead of the queued steps, until it returns true.
    void retryUntil(std::function<bool()> attempt, int everyMs);
    void queueTour();
    void queueRandomAction();
    static constexpr size_t HeapProfileMark = 1234567;
    static void markForHeapProfile();
    void logAllocator() const;
    void queueReferenceState(std::function<void()> then);
    bool windowFree() const;
    void showTab(int tab);
    bool selectSomePair(); // false when no pair can be chosen
    void toggleScan();
    void stopScan();
    void saveFile(bool nljd);
    void loadFile(bool nljd);
    void toggleCompare(bool nljd);
    void capture();
    void trimReports(int keep);
    void count(const char* action) { ++m_result.actions[QString::fromLatin1(action)]; }

    // Faults and recovery.
    void scheduleFault(int delayMs);
    void startFault();
    void clearFault();
    void poll();
    void tabDataRead(const QByteArray& payload);
    void windowWrote(const QByteArray& payload);
    void finishRecovery(qint64 atMs);

    void endWarmup();
    void endRun();

    SoakOptions m_options;
    QDir m_work;
    SimRandom m_random;
    QElapsedTimer m_clock;
    SoakResult m_result;
    Phase m_phase = Phase::Tour;

    VirtualAnalyser m_analyser;
    ScriptedPrompts m_prompts;
    VirtualAnalyserPort* m_vport;
    TapPort* m_tap;
    FramelessWindow m_shell;
    MainWindow* m_w;
    LinkFiller m_filler;

    std::deque<Step> m_steps;
    QTimer m_stepTimer;
    QTimer m_pollTimer;
    QTimer m_faultTimer;
    QTimer m_clearTimer;
    QTimer m_endTimer;
    QTimer m_warmTimer;

    bool m_faultActive = false;
    bool m_faultsPaused = false;
    Fault m_fault;
    int m_tourFault = 0; // the tour injects each kind once, in order
    qint64 m_lastTabDataMs = -1;
    qint64 m_lastReflEndMs = 0;
    int m_connects = 0;
    int m_fileSerial = 0;
    QString m_lastSaved[2]; // .nljd, .refl
    bool m_wasTesting = false;
    int m_loggedLink = -1;
    bool m_loggedLocked = false;
    bool m_warmupSampled = false;
    qint64 m_cacheHeldKb = -1;
    std::map<QString, qint64> m_mapsWarm;
};
