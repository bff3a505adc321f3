#include "soakrun.h"

#include "app/mainwindow.h"
#include "app/shellstart.h"
#include "link/dispatchroute.h"
#include "pairs/pairnumbering.h"
#include "reporting/inreptab.h"
#include "shell/darkstyle.h"
#include "sim/virtualport.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPixmapCache>
#include <QPushButton>
#include <QTableWidget>

#include <cstdio>
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(Q_OS_LINUX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{
// A fault that has not recovered this long after its cause went away is given up on.
constexpr qint64 GiveUpMs = 30000;
constexpr int PollMs = 20;
// The user's rest between REFL measurements, so that clicks elsewhere get their turn.
constexpr qint64 ReflRestMs = 300;
constexpr int ReportsKept = 6;

bool isConnectRequest(const QByteArray& payload)
{
    return payload.size() == 2 && payload.at(0) == 'U' && payload.at(1) == 1;
}
} // namespace

const char* faultName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Unplug:
        return "unplug";
    case FaultKind::Silence:
        return "silence";
    case FaultKind::Garbage:
        return "garbage";
    case FaultKind::BadSum:
        return "bad-sum";
    case FaultKind::LateConnect:
        return "late-connect";
    }
    return "?";
}

int SoakResult::unrecovered() const
{
    int n = 0;
    for (int k = 0; k < FaultKinds; ++k)
        n += late[size_t(k)] + never[size_t(k)];
    return n;
}

// --- the tap ---

qint64 TapPort::write(const QByteArray& data)
{
    // The analyser hears the bytes first, so a hook sees the state they left it in.
    const qint64 n = ForwardingAnalyserPort::write(data);
    if (onWrite)
        for (char c : data.left(int(qMax<qint64>(n, 0))))
            if (m_out.feed(quint8(c)))
                onWrite(m_out.takePayload().chopped(1));
    return n;
}

QByteArray TapPort::readAll()
{
    const QByteArray bytes = ForwardingAnalyserPort::readAll();
    if (onRead)
        for (char c : bytes)
            if (m_in.feed(quint8(c)))
                onRead(m_in.takePayload());
    return bytes;
}

void TapPort::close()
{
    ForwardingAnalyserPort::close();
    m_in = FrameReceiver();
    m_out = FrameReceiver();
}

// --- the run ---

SoakRun::SoakRun(const SoakOptions& options, const QString& workDir)
    : m_options(options),
      m_work(workDir),
      m_random(quint64(options.seed) * 0x9E3779B97F4A7C15ull + 0x50A4),
      m_analyser(options.seed),
      m_vport(new VirtualAnalyserPort(m_analyser)),
      m_tap(new TapPort(m_vport)),
      m_w(new MainWindow(nullptr, m_tap, &m_prompts)),
      m_filler(m_analyser)
{
    m_work.mkpath(QStringLiteral("files"));
    // As start-up composes it: the window in the shell, shown, then the dark style.
    putIntoShell(m_shell, m_w);
    m_shell.show();
    QApplication::setStyle(new DarkStyle);

    m_tap->onRead = [this](const QByteArray& p) { tabDataRead(p); };
    m_tap->onWrite = [this](const QByteArray& p) { windowWrote(p); };

    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &SoakRun::runNextStep);
    m_pollTimer.setInterval(PollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &SoakRun::poll);
    m_faultTimer.setSingleShot(true);
    connect(&m_faultTimer, &QTimer::timeout, this, &SoakRun::startFault);
    m_clearTimer.setSingleShot(true);
    connect(&m_clearTimer, &QTimer::timeout, this, &SoakRun::clearFault);
    m_endTimer.setSingleShot(true);
    connect(&m_endTimer, &QTimer::timeout, this, &SoakRun::endRun);
    m_warmTimer.setSingleShot(true);
    connect(&m_warmTimer, &QTimer::timeout, this, &SoakRun::endWarmup);
}

SoakRun::~SoakRun()
{
    // The window says goodbye through the tap while it goes; nothing here is listening any more.
    m_tap->onRead = nullptr;
    m_tap->onWrite = nullptr;
}

qint64 SoakRun::residentKb()
{
#if defined(Q_OS_LINUX)
    // Read into a buffer of our own: this runs many times a second inside the process it measures,
    // and a growing read buffer would churn the very heap being watched.
    const int fd = ::open("/proc/self/statm", O_RDONLY);
    if (fd < 0)
        return -1;
    char text[128];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return -1;
    text[n] = '\0';
    long long size = 0, resident = 0;
    if (std::sscanf(text, "%lld %lld", &size, &resident) != 2)
        return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
#else
    return -1;
#endif
}

qint64 SoakRun::heapInUseKb()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 m = mallinfo2();
    return qint64((m.uordblks + m.hblkhd) / 1024);
#else
    return -1;
#endif
}

// How the allocator's heap is laid out: growth of its arena with free bytes growing alongside is
// fragmentation, not memory anyone holds.
static QString allocatorLayout()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 m = mallinfo2();
    return QStringLiteral("arenas %1 kB: in use %2 kB, free %3 kB in %4 chunks (%5 kB in fast bins), releasable top %6 kB; "
                          "mapped %7 kB in %8")
        .arg(m.arena / 1024)
        .arg(m.uordblks / 1024)
        .arg(m.fordblks / 1024)
        .arg(m.ordblks)
        .arg(m.fsmblks / 1024)
        .arg(m.keepcost / 1024)
        .arg(m.hblkhd / 1024)
        .arg(m.hblks);
#else
    return QString();
#endif
}

QString SoakRun::residentKinds()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QString();
    QStringList kinds;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon") || line.startsWith("RssFile") || line.startsWith("RssShmem"))
            kinds << QString::fromLatin1(line.simplified()).remove(':');
    return kinds.join(QStringLiteral(", "));
}

// Resident kB per mapping: "[heap]", a file's name, or "anon <start>" for the rest.
static std::map<QString, qint64> residentByMapping()
{
    std::map<QString, qint64> out;
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return out;
    QString current;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 5 && f.at(0).contains('-') && !line.endsWith(':')) {
            current = f.size() >= 6 ? QString::fromLatin1(f.at(5)) : QStringLiteral("anon ") + QString::fromLatin1(f.at(0).split('-').at(0));
            if (current.startsWith('/') && line.contains(" rw"))
                current += QStringLiteral(" (rw)");
        } else if (f.size() >= 2 && f.at(0) == "Rss:") {
            out[current] += f.at(1).toLongLong();
        }
    }
    return out;
}

void SoakRun::log(const QString& text) const
{
    std::fprintf(stderr, "[%7.1f s] %s\n", m_clock.elapsed() / 1000.0, qPrintable(text));
    std::fflush(stderr);
}

SoakResult SoakRun::run()
{
    m_clock.start();
    m_filler.start();
    m_pollTimer.start();
    m_endTimer.start(int(m_options.durationMs));
    queueTour();
    scheduleFault(4000);

    QTimer progress;
    connect(&progress, &QTimer::timeout, this, [this] {
        int faults = 0;
        for (int n : m_result.faults)
            faults += n;
        log(QStringLiteral("RSS %1 kB, heap %6 kB, %2 faults, %3 reconnects, %4 unrecovered, link %5 MB")
                .arg(residentKb())
                .arg(faults)
                .arg(qMax(0, m_connects - 1))
                .arg(m_result.unrecovered())
                .arg(m_filler.bytesSent() / 1e6, 0, 'f', 1)
                .arg(heapInUseKb()));
    });
    progress.start(60000);

    QEventLoop loop;
    QTimer done;
    connect(&done, &QTimer::timeout, &loop, [this, &loop] {
        if (m_phase == Phase::Done)
            loop.quit();
    });
    done.start(100);
    loop.exec();

    m_filler.stop();
    m_result.elapsedMs = now();
    m_result.reconnects = qMax(0, m_connects - 1);
    m_result.linkBytes = m_filler.bytesSent();
    m_result.streamingSeconds = m_filler.streamingSeconds();
    m_result.streamingBytes = m_filler.streamingBytes();
    m_result.shortfallBytes = m_filler.shortfallBytes();
    return m_result;
}

// --- the user ---

void SoakRun::queue(int delayMs, std::function<void()> act)
{
    m_steps.push_back({delayMs, std::move(act)});
    if (m_steps.size() == 1 && !m_stepTimer.isActive())
        m_stepTimer.start(delayMs);
}

void SoakRun::runNextStep()
{
    const bool randomUser = m_phase == Phase::Warming || m_phase == Phase::Random;
    if (m_steps.empty()) {
        if (randomUser)
            queueRandomAction();
        return;
    }
    // A measurement holds the window; the user waits for it like everybody else.
    if (!windowFree()) {
        m_stepTimer.start(100);
        return;
    }
    Step s = std::move(m_steps.front());
    m_steps.pop_front();
    if (m_options.verbose && m_phase == Phase::Tour)
        log(QStringLiteral("tour step, tab %1, pair %2, link %3")
                .arg(m_w->form()->tabWidget->currentIndex())
                .arg(m_w->currentPair())
                .arg(m_w->linkState()));
    s.act();
    if (!m_steps.empty())
        m_stepTimer.start(m_steps.front().delayMs);
    else if (m_phase == Phase::Warming || m_phase == Phase::Random)
        queueRandomAction();
}

bool SoakRun::windowFree() const
{
    return m_w->form()->centralWidget->isEnabled();
}

void SoakRun::queueTour()
{
    // Until the window is connected.
    queue(100, [this] { retryUntil([this] { return m_w->linkState() >= 2 || now() >= 15000; }, 200); });
    // Every action once, on every tab, before anything is measured.
    for (int tab = Tab::Lfa; tab <= Tab::Refl; ++tab) {
        queue(300, [this, tab] { showTab(tab); });
        queue(800, [this] { capture(); });
        if (tab == Tab::Nljd || tab == Tab::Refl) {
            const bool nljd = tab == Tab::Nljd;
            queue(400, [this, nljd] { saveFile(nljd); });
            queue(400, [this, nljd] { loadFile(nljd); });
            queue(400, [this, nljd] { toggleCompare(nljd); });
            queue(800, [this, nljd] { toggleCompare(nljd); });
        }
        queue(400, [this] { selectSomePair(); });
    }
    queue(300, [this] { toggleScan(); });
    queue(5000, [this] { stopScan(); });
    queue(300, [this] { showTab(Tab::Report); });
    queue(600, [this] { showTab(Tab::Update); });
    queue(600, [this] { showTab(Tab::Lfa); });
    // The warm-up lasts until each fault kind was met once and its share of the run has passed; after
    // the tour the user and the faults go on at random, as in the measured part.
    const qint64 warmup = m_options.warmupMs >= 0 ? m_options.warmupMs : m_options.durationMs / 10;
    queue(500, [this, warmup] {
        retryUntil(
            [this, warmup] {
                if (m_phase != Phase::Tour)
                    return true;
                if (m_tourFault < FaultKinds || m_faultActive)
                    return false;
                m_phase = Phase::Warming;
                scheduleFault(2000);
                m_warmTimer.start(int(qMax<qint64>(0, warmup - now())));
                return true;
            },
            500);
    });
}

void SoakRun::retryUntil(std::function<bool()> attempt, int everyMs)
{
    if (!attempt())
        m_steps.push_front({everyMs, [this, attempt, everyMs] { retryUntil(attempt, everyMs); }});
}

void SoakRun::endWarmup()
{
    if (m_phase != Phase::Warming)
        return;
    m_steps.clear();
    m_stepTimer.stop();
    queueReferenceState([this] {
        m_result.rssWarmKb = residentKb();
        m_result.heapWarmKb = heapInUseKb();
        m_result.kindsWarm = residentKinds();
        m_result.cacheWarmKb = m_cacheHeldKb;
        m_mapsWarm = residentByMapping();
        m_result.rssPeakKb = m_result.rssWarmKb;
        m_result.warmupEndMs = now();
        log(QStringLiteral("warm-up over: RSS %1 kB, heap %2 kB").arg(m_result.rssWarmKb).arg(m_result.heapWarmKb));
        logAllocator();
        m_phase = Phase::Random;
        scheduleFault(2000);
    });
}

void SoakRun::logAllocator() const
{
    log(allocatorLayout());
#if defined(__GLIBC__)
    if (m_options.verbose)
        malloc_stats(); // per arena, on stderr
#endif
}

// One block of an odd size, taken and given back at once: a heap profile of the run shows where the
// two measurements were (the diagnosis runs with KV847_SOAK_NO_TEARDOWN).
void SoakRun::markForHeapProfile()
{
    static void* (*volatile take)(size_t) = std::malloc;
    if (qEnvironmentVariableIsSet("KV847_SOAK_NO_TEARDOWN"))
        std::free(take(HeapProfileMark));
}

void SoakRun::queueReferenceState(std::function<void()> then)
{
    // RSS is compared in one and the same state: LFA with pair 1, no scan, no comparison, no report
    // files, no fault, after a few seconds of full-rate data.
    m_faultsPaused = true;
    queue(0, [this] { retryUntil([this] { return !m_faultActive && m_w->linkState() >= 2; }, 200); });
    queue(0, [this] {
        Ui::MainWindow* ui = m_w->form();
        stopScan();
        if (ui->nldComp->isChecked())
            toggleCompare(true);
        if (ui->refComp->isChecked())
            toggleCompare(false);
        trimReports(0);
        ui->tabWidget->setCurrentIndex(Tab::Lfa);
        if (m_w->currentPair() != 1)
            m_w->swClick(1, 1);
    });
    queue(3000, [this, then] {
        // Qt's pixmap cache keeps drawings until its limit (the program sets it) and can give them up at
        // any time, as the allocator can its free lists: both are emptied before measuring, in both
        // measurements alike, and what the cache held is reported on its own.
        const qint64 before = heapInUseKb();
        QPixmapCache::clear();
        m_cacheHeldKb = before - heapInUseKb();
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
        then();
        markForHeapProfile();
        m_faultsPaused = false;
    });
}

void SoakRun::queueRandomAction()
{
    const int delay = 400 + int(m_random.below(2600));
    queue(delay, [this] {
        const int tab = m_w->form()->tabWidget->currentIndex();
        const quint32 r = m_random.below(100);
        const bool fileTab = tab == Tab::Nljd || tab == Tab::Refl;
        if (r < 20) {
            // Mostly the mode tabs; now and then the report browser or the firmware tab.
            const quint32 t = m_random.below(10);
            showTab(t < 8 ? int(t % 4) : (t == 8 ? Tab::Report : Tab::Update));
        } else if (r < 45) {
            selectSomePair();
        } else if (r < 55) {
            toggleScan();
        } else if (r < 65) {
            if (fileTab)
                saveFile(tab == Tab::Nljd);
            else
                showTab(m_random.chance(50) ? Tab::Nljd : Tab::Refl);
        } else if (r < 75) {
            if (fileTab)
                loadFile(tab == Tab::Nljd);
            else
                selectSomePair();
        } else if (r < 82) {
            if (fileTab)
                toggleCompare(tab == Tab::Nljd);
        } else if (r < 92) {
            capture();
        } else {
            selectSomePair();
        }
    });
}

void SoakRun::showTab(int tab)
{
    Ui::MainWindow* ui = m_w->form();
    if (!ui->tabWidget->isEnabled())
        stopScan();
    if (!ui->tabWidget->isEnabled())
        return;
    ui->tabWidget->setCurrentIndex(tab);
    count("tab");
    if (tab <= Tab::Refl)
        selectSomePair();
}

bool SoakRun::selectSomePair()
{
    Ui::MainWindow* ui = m_w->form();
    if (ui->tabWidget->currentIndex() > Tab::Refl || !ui->swTAB->isEnabled())
        return false;
    // A click on the selected row would let it go; pairs switched off ignore the click.
    const int start = int(m_random.below(PairCount));
    for (int i = 0; i < PairCount; ++i) {
        const int p = 1 + (start + i) % PairCount;
        if (p == m_w->currentPair())
            continue;
        m_w->swClick(p, 1);
        if (m_w->currentPair() == p) {
            count("pair");
            return true;
        }
    }
    return false;
}

void SoakRun::toggleScan()
{
    Ui::MainWindow* ui = m_w->form();
    // The title says "no connection!": the user waits for the analyser before starting a scan.
    if (!ui->scanAll->isEnabled() || (!ui->scanAll->isChecked() && m_w->linkState() < 2))
        return;
    ui->scanAll->click();
    count(ui->scanAll->isChecked() ? "scan-start" : "scan-stop");
}

void SoakRun::stopScan()
{
    Ui::MainWindow* ui = m_w->form();
    if (ui->scanAll->isChecked() && ui->scanAll->isEnabled()) {
        ui->scanAll->click();
        count("scan-stop");
    }
}

void SoakRun::saveFile(bool nljd)
{
    Ui::MainWindow* ui = m_w->form();
    QAbstractButton* open = nljd ? ui->nldSave : ui->refSave;
    QAbstractButton* save = nljd ? static_cast<QAbstractButton*>(ui->nldSave2) : ui->refSave2;
    QLineEdit* comment = nljd ? ui->nldTXT : ui->refTXT;
    if (!open->isEnabled())
        return;
    if (!open->isChecked())
        open->click();
    ++m_fileSerial;
    comment->setText(QStringLiteral("soak %1").arg(m_fileSerial));
    const QString path =
        m_work.filePath(QStringLiteral("files/soak-%1.%2").arg(m_fileSerial % 3).arg(nljd ? "nljd" : "refl"));
    QFile::remove(path);
    m_prompts.fileNames.clear();
    m_prompts.fileNames.enqueue(path);
    save->click();
    m_prompts.fileNames.clear();
    if (!QFileInfo::exists(path)) {
        m_result.unexpectedBoxes << QStringLiteral("%1 not saved").arg(path);
        return;
    }
    m_lastSaved[nljd ? 0 : 1] = path;
    count(nljd ? "save-nljd" : "save-refl");
}

void SoakRun::loadFile(bool nljd)
{
    Ui::MainWindow* ui = m_w->form();
    if (m_lastSaved[nljd ? 0 : 1].isEmpty())
        saveFile(nljd);
    const QString path = m_lastSaved[nljd ? 0 : 1];
    QAbstractButton* load = nljd ? ui->nldLoad : ui->refLoad;
    if (path.isEmpty() || !load->isEnabled())
        return;
    m_prompts.fileNames.clear();
    m_prompts.fileNames.enqueue(path);
    load->click();
    m_prompts.fileNames.clear();
    const QString info = (nljd ? ui->nldINFO : ui->refINFO)->toPlainText();
    if (!info.contains(QFileInfo(path).fileName()))
        m_result.unexpectedBoxes << QStringLiteral("%1 not loaded").arg(path);
    count(nljd ? "load-nljd" : "load-refl");
}

void SoakRun::toggleCompare(bool nljd)
{
    Ui::MainWindow* ui = m_w->form();
    QAbstractButton* compare = nljd ? ui->nldComp : ui->refComp;
    if (!compare->isEnabled())
        return;
    if (!compare->isChecked() && m_lastSaved[nljd ? 0 : 1].isEmpty())
        saveFile(nljd);
    m_prompts.fileNames.clear();
    m_prompts.fileNames.enqueue(m_lastSaved[nljd ? 0 : 1]);
    compare->click();
    m_prompts.fileNames.clear();
    count(compare->isChecked() ? "compare-on" : "compare-off");
}

void SoakRun::capture()
{
    Ui::MainWindow* ui = m_w->form();
    const int tab = ui->tabWidget->currentIndex();
    if (tab > Tab::Refl || !ui->addREP->isEnabled())
        return;
    if (!ui->addREP->isChecked())
        ui->addREP->click();
    QPushButton* adds[] = {ui->addREP1, ui->addREP2, ui->addREP3, ui->addREP4};
    adds[tab]->click();
    count("capture");
    trimReports(ReportsKept);
}

void SoakRun::trimReports(int keep)
{
    Ui::MainWindow* ui = m_w->form();
    // The user deletes old captures through their tiles, so the browser does not grow without end.
    for (QTableWidget* t : {ui->tableLFA, ui->tableWRX, ui->tableNLD, ui->tableREF}) {
        for (int guard = 0; guard < 200; ++guard) {
            QList<QPair<int, int>> cells;
            for (int r = 0; r < t->rowCount(); ++r)
                for (int c = 0; c < t->columnCount(); ++c)
                    if (qobject_cast<InRepTab*>(t->cellWidget(r, c)))
                        cells.append({r, c});
            if (cells.size() <= keep)
                break;
            const auto [row, col] = cells.first();
            emit t->cellClicked(row, col);
            auto* tile = qobject_cast<InRepTab*>(t->cellWidget(row, col));
            m_prompts.answers.clear();
            m_prompts.answers.enqueue(true);
            tile->deleteButton()->click();
            m_prompts.answers.clear();
            // A user's clicks come one event-loop turn apart, and the tiles of each refresh are
            // deleted at the end of its turn: without this a burst of clicks keeps every old set alive.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            count("report-delete");
        }
    }
}

// --- faults and recovery ---

void SoakRun::scheduleFault(int delayMs)
{
    m_faultTimer.start(delayMs);
}

void SoakRun::startFault()
{
    if (m_faultActive || m_phase == Phase::Ending || m_phase == Phase::Done)
        return;
    if (m_faultsPaused) {
        scheduleFault(1000);
        return;
    }
    if (m_phase == Phase::Tour && m_tourFault >= FaultKinds)
        return;
    const FaultKind kind =
        m_phase == Phase::Tour ? FaultKind(m_tourFault++) : FaultKind(m_random.below(FaultKinds));
    m_fault = Fault();
    m_fault.kind = kind;
    m_fault.startMs = now();
    m_faultActive = true;
    ++m_result.faults[size_t(kind)];
    // How long the fault lasts, from lo to hi ms; the tour keeps to the short end.
    const auto span = [this](int lo, int hi) {
        return lo + int(m_random.below(quint32(m_phase == Phase::Tour ? (hi - lo) / 3 : hi - lo)));
    };
    int lastsMs = 0;
    switch (kind) {
    case FaultKind::Unplug:
        m_vport->unplug();
        lastsMs = span(100, 3000);
        break;
    case FaultKind::Silence:
        // Shorter and longer than the watchdog's patience.
        m_analyser.setSilent(true);
        lastsMs = span(300, 5000);
        break;
    case FaultKind::Garbage:
        m_analyser.sendGarbage(64 + int(m_random.below(960)));
        m_analyser.setGarbage(true);
        lastsMs = span(200, 3000);
        break;
    case FaultKind::BadSum:
        m_analyser.setBadChecksum(true);
        lastsMs = span(200, 4000);
        break;
    case FaultKind::LateConnect:
        // A short pull of the cable makes the program ask again; the answer to that comes late, at
        // times later than the watchdog waits.
        m_fault.lateByMs = span(300, 3500);
        m_fault.waitingForRequest = true;
        m_analyser.setConnectDelay(m_fault.lateByMs);
        m_vport->unplug();
        lastsMs = span(100, 400);
        break;
    }
    if (m_options.verbose)
        log(QStringLiteral("fault %1 for %2 ms%3")
                .arg(faultName(kind))
                .arg(lastsMs)
                .arg(kind == FaultKind::LateConnect ? QStringLiteral(", answer %1 ms late").arg(m_fault.lateByMs)
                                                    : QString()));
    m_clearTimer.start(lastsMs);
}

void SoakRun::clearFault()
{
    switch (m_fault.kind) {
    case FaultKind::Unplug:
        m_vport->plug();
        break;
    case FaultKind::Silence:
        m_analyser.setSilent(false);
        break;
    case FaultKind::Garbage:
        m_analyser.setGarbage(false);
        break;
    case FaultKind::BadSum:
        m_analyser.setBadChecksum(false);
        break;
    case FaultKind::LateConnect:
        // Cleared once the late answer is due (windowWrote).
        m_vport->plug();
        return;
    }
    m_fault.clearedMs = now();
}

void SoakRun::windowWrote(const QByteArray& payload)
{
    if (!m_faultActive || !m_fault.waitingForRequest || !isConnectRequest(payload))
        return;
    // The analyser has taken the request with its delay; the next one is answered at once.
    m_fault.waitingForRequest = false;
    m_analyser.setConnectDelay(0);
    m_fault.clearedMs = now() + m_fault.lateByMs;
}

void SoakRun::tabDataRead(const QByteArray& payload)
{
    if (payload.size() > 2 && payload.at(0) == 'S' && payload.at(1) == 1)
        ++m_connects;
    const int tab = m_w->form()->tabWidget->currentIndex();
    const Route route = routeFor(payload, tab, m_w->currentPair() != 0);
    bool forTab = true; // the report and firmware tabs show no data: any message will do
    switch (tab) {
    case Tab::Lfa:
        forTab = route == Route::Lfa;
        break;
    case Tab::Wrx:
        forTab = route == Route::Wrx;
        break;
    case Tab::Nljd:
        forTab = route == Route::Nljd;
        break;
    case Tab::Refl:
        forTab = route == Route::Refl;
        break;
    default:
        break;
    }
    if (forTab)
        m_lastTabDataMs = now();
}

void SoakRun::poll()
{
    const qint64 t = now();
    Ui::MainWindow* ui = m_w->form();

    // The stand-ins' own records would grow without end.
    m_vport->clearSent();
    for (const ScriptedPrompts::Asked& a : m_prompts.asked)
        if (a.kind != QLatin1String("question") && a.kind != QLatin1String("open") &&
            a.kind != QLatin1String("save"))
            m_result.unexpectedBoxes << QStringLiteral("%1 \"%2\": %3").arg(a.kind, a.title, a.text);
    m_prompts.asked.clear();

    const int tab = ui->tabWidget->currentIndex();
    const bool connected = m_w->linkState() >= 2;
    if (m_options.verbose) {
        const int link = qMin<int>(m_w->linkState(), 2);
        const bool locked = !windowFree();
        if (link != m_loggedLink || locked != m_loggedLocked)
            log(QStringLiteral("link %1%2, tab %3, pair %4, analyser %5 mode %6 wires %7-%8")
                    .arg(link == 2 ? "connected" : link == 1 ? "requested" : "closed")
                    .arg(locked ? ", window locked" : "")
                    .arg(tab)
                    .arg(m_w->currentPair())
                    .arg(m_analyser.isConnected() ? "connected" : "idle")
                    .arg(m_analyser.mode())
                    .arg(m_analyser.wireA())
                    .arg(m_analyser.wireB()));
        m_loggedLink = link;
        m_loggedLocked = locked;
    }
    // A user on a mode tab keeps a pair selected; the analyser may have reported none after a reconnect.
    if (tab <= Tab::Refl && connected && m_w->currentPair() == 0 && windowFree() && m_phase != Phase::Done) {
        if (m_faultActive && m_fault.clearedMs >= 0)
            ++m_result.pairsLostOnReconnect;
        // With a comparison on, only the pairs in the file can be chosen; none left, the user ends it.
        if (!selectSomePair() && (tab == Tab::Nljd || tab == Tab::Refl) &&
            (tab == Tab::Nljd ? ui->nldComp : ui->refComp)->isChecked())
            toggleCompare(tab == Tab::Nljd);
    }
    // On the REFL tab the user measures again and again.
    const bool testing = ui->refTEST->isChecked();
    if (m_wasTesting && !testing)
        m_lastReflEndMs = t;
    m_wasTesting = testing;
    if (tab == Tab::Refl && connected && m_w->currentPair() != 0 && !testing && !ui->scanAll->isChecked() &&
        windowFree() && t - m_lastReflEndMs >= ReflRestMs && ui->refTEST->isEnabled()) {
        ui->refTEST->click();
        if (m_options.verbose && m_faultActive)
            log(QStringLiteral("REFL test pressed"));
    }

    if (m_phase == Phase::Random || m_phase == Phase::Ending) {
        const qint64 rss = residentKb();
        if (t % 1000 < PollMs)
            m_result.rssPeakKb = qMax(m_result.rssPeakKb, rss);
    }

    if (!m_faultActive)
        return;
    if (m_fault.clearedMs < 0) {
        if (m_fault.waitingForRequest && t - m_fault.startMs > GiveUpMs) {
            m_analyser.setConnectDelay(0);
            m_fault.waitingForRequest = false;
            m_fault.clearedMs = m_fault.startMs;
        }
        return;
    }
    if (connected && m_lastTabDataMs >= m_fault.clearedMs)
        finishRecovery(m_lastTabDataMs);
    else if (t - m_fault.clearedMs > GiveUpMs)
        finishRecovery(-1);
}

void SoakRun::finishRecovery(qint64 atMs)
{
    const size_t k = size_t(m_fault.kind);
    const Fault f = m_fault;
    m_faultActive = false;
    if (atMs < 0) {
        ++m_result.never[k];
        log(QStringLiteral("%1 (from %2 ms) NOT recovered within %3 s: link state %4, tab %5, pair %6")
                .arg(faultName(f.kind))
                .arg(f.startMs)
                .arg(GiveUpMs / 1000)
                .arg(m_w->linkState())
                .arg(m_w->form()->tabWidget->currentIndex())
                .arg(m_w->currentPair()));
    } else {
        const qint64 took = qMax<qint64>(0, atMs - f.clearedMs);
        m_result.longestMs[k] = qMax(m_result.longestMs[k], took);
        if (took > m_options.recoverWithinMs) {
            ++m_result.late[k];
            log(QStringLiteral("%1 (from %2 ms) recovered only after %3 ms").arg(faultName(f.kind)).arg(f.startMs).arg(took));
        } else if (m_options.verbose) {
            log(QStringLiteral("%1 recovered in %2 ms").arg(faultName(f.kind)).arg(took));
        }
    }
    if (m_phase == Phase::Tour)
        scheduleFault(1500);
    else if (m_phase == Phase::Warming || m_phase == Phase::Random)
        scheduleFault(2000 + int(m_random.below(10000)));
}

void SoakRun::endRun()
{
    m_phase = Phase::Ending;
    m_steps.clear();
    m_stepTimer.stop();
    m_faultTimer.stop();
    queueReferenceState([this] {
        m_result.rssEndKb = residentKb();
        m_result.heapEndKb = heapInUseKb();
        m_result.kindsEnd = residentKinds();
        m_result.cacheEndKb = m_cacheHeldKb;
        if (m_options.verbose) {
            auto maps = residentByMapping();
            for (const auto& [name, kb] : m_mapsWarm)
                maps[name] -= kb;
            for (const auto& [name, kb] : maps)
                if (kb >= 64 || kb <= -64)
                    log(QStringLiteral("resident %1 kB: %2").arg(kb, 6).arg(name));
        }
        m_result.rssPeakKb = qMax(m_result.rssPeakKb, m_result.rssEndKb);
        log(QStringLiteral("run over: RSS %1 kB, heap %2 kB").arg(m_result.rssEndKb).arg(m_result.heapEndKb));
        logAllocator();
        m_phase = Phase::Done;
    });
}
