#pragma once

#include "link/framecodec.h"
#include "link/linkwatchdog.h"
#include "reporting/thumbnails.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QMainWindow>
#include <QSerialPort>
#include <QTranslator>
#include <functional>
#include <memory>

class AnalyserPort;
class FirmwareTransfer;
class NLD;
class OSC;
class PairStore;
class Prompts;
class QFile;
class QTableWidget;
class QTimer;
class QTreeWidgetItem;
class QwtPlotCurve;
class RX;
class setSW;
struct NljdFileData;
struct PairEnableInputs;
struct ReflModeState;
namespace Report
{
class CaptureRun;
struct ReceiverView;
} // namespace Report

namespace Ui
{
class MainWindow;
}

// The hub of the program: owns the form, the link to the analyser, the timers and the mode widgets.
// Its slots are short and hand the work to the classes of their folders.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The port and the prompts may be supplied (virtual analyser, tests); the window owns the port.
    explicit MainWindow(QWidget* parent = nullptr, AnalyserPort* port = nullptr, Prompts* prompts = nullptr);
    ~MainWindow() override;

    Ui::MainWindow* form() const { return ui; }
    quint8 linkState() const { return m_watchdog->linkState(); }
    int currentMode() const { return m_currentMode; }
    quint8 currentPair() const { return m_currentPair; }
    QSize contentSize() const { return QSize(m_contentWidth, m_contentHeight); }
    bool updateBusy() const { return m_updateBusy; }
    void setUpdateBusy(bool busy) { m_updateBusy = busy; }
    quint8 activityMarker() const { return m_activity; }
    void setActivityMarker(quint8 marker) { m_activity = marker; }
    bool measuring() const { return m_measuring; }
    void setMeasuring(bool on) { m_measuring = on; }
    quint8 firmwareMajor() const { return m_fwMajor; }
    quint8 firmwareMinor() const { return m_fwMinor; }
    AnalyserPort* port() const { return m_port; }

signals:
    void setWindowTitle(QString text, QString col);
    void setWindowIcon(QIcon ico);
    void sigOVER(bool over);
    void sigKOMM();
    void sigBat(uchar bat, bool charge);

public slots:
    void resizeWIN();
    void resizeSLOT(QSize size);
    void resizeSLOT();
    void Timer1();

    void openSerialPort();
    void closeSerialPort();
    void handleError(QSerialPort::SerialPortError error);
    void writeData(QByteArray data);
    void readData();
    void actionUSB(QByteArray data);

    void changeLang(int id);

    void swClick(int row, int col);
    void scanAll(bool act);
    void scanAll();
    void setFind(quint16 nom);
    void clearAll();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void modeTabChanged(int index);
    void sendModeSelect(quint8 code);
    void emitLinkTitle(LinkTitle which);
    void showSetupError(const QString& errorString);
    void placeModeTabs();
    void showFirmwareVersion();
    // Save and load flows of the modes' data files: the dialogs, QSaveFile and the error boxes.
    // The bytes are taken after the dialog: measurements go on while it is open.
    bool saveDataFile(const QString& filter, const std::function<QByteArray()>& bytes);
    bool openDataFile(const QString& filter, QFile& file);
    void refreshSizeDependentViews();

    void statusMessage(const QByteArray& data);
    void progressMessage(const QByteArray& data);
    void refreshPairTable();

    Ui::MainWindow* ui;
    int m_contentWidth = 991;
    int m_contentHeight = 677;
    int m_currentMode = 0;
    QTranslator m_translator;
    AnalyserPort* m_port = nullptr;
    LinkWatchdog* m_watchdog = nullptr;
    Prompts* m_prompts = nullptr;
    std::unique_ptr<Prompts> m_ownPrompts;
    FrameReceiver m_receiver;
    bool m_inReadData = false;
    bool m_errorBoxOpen = false;
    quint8 m_fwMajor = 0;
    quint8 m_fwMinor = 0;
    bool m_fwKnown = false;
    bool m_updateBusy = false;
    QTimer* m_animTimer;
    QTimer* m_linkTimer;
    QTimer* m_resizeTimer;
    QTimer* m_scanTimer = nullptr;
    quint8 m_activity = 0;
    bool m_measuring = false;
    bool m_refSet1Shown = false;
    bool m_refSet2Shown = false;
    bool m_refResetRequest = true;
    QwtPlotCurve* m_refCurve1;
    QwtPlotCurve* m_refCurve2;

    // Busy-icon animation.
    int m_animFrame = 0;
    bool m_refTestAnimated = false;
    quint8 m_lastActivity = 0;

    // --- pairs: selection, scan, the pair table and the cable switch widget ---
public:
    PairStore& pairStore();
    setSW* cableSwitch() const { return m_cableSwitch; }
    bool scanning() const { return m_scanning; }

private:
    void setUpPairTable();
    void placeCableSwitch(const QRect& r);
    PairEnableInputs enableInputs() const;
    bool pairEnabled(int pair) const;
    void showPairRow(int pair);
    void pairFollowUp();
    bool scanStep(); // true when the step ended the scan
    void startScan();
    void stopScan();

    // Hooks the modes fill; their bodies sit in mainwindow_pairs.cpp until the mode code takes them.
    void wrxSearchEvent(quint8 event); // signal search: 0 new pair, 5 scan stopped
    void nljdPairChanged();            // large display repaint and, when on, the comparison
    void clearModeViews();             // after clearAll: signal lists, REFL views, new run folder

    std::unique_ptr<PairStore> m_pairs;
    setSW* m_cableSwitch = nullptr;
    quint8 m_currentPair = 0;
    int m_selectedRow = -1;
    bool m_scanning = false;
    int m_stepCount = 0;
    bool m_wrxScan = false;       // the signal search follows every pair the scan selects
    int m_scanLeftPair = -1;      // the pair the last scan step left, until the analyser reports the new one
    bool m_nljdCompare = false;   // set by the NLJD comparison
    bool m_reflCompare = false;   // set by the REFL comparison
    quint8 m_nljdFileMarkers[37]; // per pair, 255 = not in the loaded .nljd file
    quint8 m_reflFileMarkers[37]; // per pair, 251 = not in the loaded .refl file
    bool m_wrxMains = false;      // the receiver's Mains button; kept by the WRx mode
    // --- end of pairs ---

    // --- lfa: oscilloscope and spectrum ---
public:
    OSC* osc() const { return m_osc; }

private:
    void setUpLfa();
    void lfaStatus(const QByteArray& data);
    void lfaData(const QByteArray& data);
    void lfaPairValues(const QByteArray& data);
    void lfaSpectrum(const QByteArray& data);
    void lfaVoltages(const QByteArray& data);

    OSC* m_osc = nullptr;
    // --- end of lfa ---

    // --- wrx: wired receiver ---
public:
    RX* rx() const { return m_rx; }

private:
    void setUpWrx();
    void sendWrx(int command, quint16 value);
    void wrxStatus(const QByteArray& data);
    void wrxData(const QByteArray& data);

    RX* m_rx = nullptr;
    // --- end of wrx ---

    // --- nljd: harmonics, files, comparison ---
public slots:
    void compareNLD(uchar nom); // 0 = every pair

public:
    NLD* nljdDisplay() const { return m_nld; }
    bool nljdFileLoaded() const { return m_nljdFileLoaded; }
    const NljdFileData& nljdFile() const { return *m_nljdFile; }
    quint8 nljdVerdict(int pair) const { return pair >= 1 && pair <= 36 ? m_nljdCompareResult[pair] : 0; }

private slots:
    void saveNLD();
    void loadNLD();
    void nldLEV(double val);

private:
    class NldFeed; // what the indicators read from this window

    void setUpNljd();
    void setUpNljdScale();
    void nljdData(const QByteArray& data);
    void nljdCompareSwitch(bool on);
    void compareNljdPair(int pair);
    void clearNljdVerdictText();

    NLD* m_nld = nullptr; // the large display
    std::unique_ptr<NljdFileData> m_nljdFile;
    bool m_nljdFileLoaded = false;
    quint8 m_nljdCompareResult[37] = {}; // per pair, the last verdict
    // --- end of nljd ---

    // --- refl: reflectogram, files, comparison ---
public:
    void compareREF(uchar nom); // 0 = every pair
    const ReflModeState& reflState() const;

private slots:
    void saveREF();
    void loadREF();

private:
    void setUpRefl();
    void reflStatus(const QByteArray& data);
    void reflData(const QByteArray& data);
    // 0: indicators and both tables; 1: the Set 1 table; 2: the Set 2 table; 3: indicators only.
    void reflRedraw(int part);
    void reflPlot(int arg); // -1 also empties both sets' traces
    void reflShowIndicators();
    void reflShowTable(int set);
    void reflSelectSet(int set);
    void reflSetBoxStyles();
    void reflTest(bool on);
    void reflApplyFactor();
    void reflPairSwitched();
    void reflLinkLost();
    void reflCompareSwitch(bool on);
    void reflCompareViews();
    void reflShowLegends();
    // After the form's retranslation: puts back the texts the REFL mode wrote into the form.
    void reflRetranslated();
    void reflShowMeasuring(); // the notice in the active table and the pair's busy indicator
    void reflCompareOne(int pair);
    bool& reflShown(int set);
    QTableWidget* reflTable(int set) const;

    std::unique_ptr<ReflModeState> m_refl;
    // --- end of refl ---

    // --- lang: language switching ---
private:
    QTranslator m_qtTranslator; // Qt's own texts, beside ours
    // The form's retranslation and every text the program built at run time, in the current language.
    void relabelAll();
    LinkTitle titleForLinkState() const;
    // Hooks filled by the receiver and the report browser: RX::langRX() and viewFile(0).
    void wrxLanguageChanged();
    void reportLanguageChanged();
    // --- end of lang ---

    // --- reports: run folders, the report browser, capture of screens and workbooks ---
public:
    QString runFolder() const { return m_runFolder; }
    QString viewedFolder() const { return m_viewedFolder; }

private slots:
    void createDIR();
    void viewFile(int nom); // 1..4 one report page, 0 all four
    void dirClick(QTreeWidgetItem* item);
    void dirDblClick(QTreeWidgetItem* item, int row);
    void repClick(int row, int col, QTableWidget* tek);
    void repDblClick(int row, int col, QTableWidget* tek);
    void delClick(int tab, QString path);
    void ScreenShot();

private:
    void setUpReports();
    QTableWidget* reportTable(int mode) const;
    void captureLfa(Report::CaptureRun& run);
    void captureWrx(Report::CaptureRun& run);
    void captureWrx(Report::CaptureRun& run, const Report::ReceiverView& rx);
    void captureNljd(Report::CaptureRun& run);
    void captureRefl(Report::CaptureRun& run);
    void reportSaveErrors(const Report::CaptureRun& run);

    QString m_runFolder;    // the files of this run go here
    QString m_viewedFolder; // the report pages show this one
    Report::Thumbnails m_thumbs[4]; // per report page
    QString m_pageShown[4];         // what each report page shows: folder, grid and files
    // --- end of reports ---

    // --- firmware ---
public slots:
    void proshivka2();          // file choice
    void proshivka(uchar act);  // 1 start, 5 start with "tmp.tmp" and no bar, 0 next block, 2 finish

public:
    FirmwareTransfer& firmwareTransfer() const { return *m_firmware; }

private:
    void setUpFirmware();
    void firmwareStart(bool withBar);
    void firmwareReply(quint8 code);
    void firmwareEnded(int outcome);
    void lockTabsForUpdate(bool locked);

    FirmwareTransfer* m_firmware = nullptr;
    // --- end of firmware ---

    // --- link guard: a measurement whose end the link lost, a mode or pair select it lost ---
public:
    // Nothing of an awaited measurement (REFL test or scan step, window locked by progress) for this
    // long, and it is given up as a lost link gives it up; the analyser talks at least every 2.75 s.
    static constexpr int MeasurementLostMs = 3000;
    // The streaming modes (LFA, WRx, NLJD) with a pair selected and the link alive: no data for the
    // shown tab for this long, and the mode and the pair are announced again (a hung analyser may
    // have dropped the select).
    static constexpr int StreamLostMs = 3000;

private:
    void awaitMeasurement();
    void measurementLost();
    // Ends what a measurement holds: the window lock, the progress bars, a REFL test or scan.
    void releaseMeasurement();
    void watchTabStream(); // from the animation timer
    void announceModeAndPair();
    // The first message after polls went unanswered: what was sent meanwhile may be lost.
    void resumeAfterSilence();
    // This many unanswered polls (link state) make a silence; an answering analyser stays at 2..4.
    static constexpr quint8 SilentLinkState = 5;

    QTimer* m_measureGuard = nullptr;
    QElapsedTimer m_sinceTabData; // since data for the shown tab came, or a mode select was sent
    // --- end of link guard ---
};
