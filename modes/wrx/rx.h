#pragma once

#include "modes/lfa/arrowlist.h"
#include "modes/wrx/signalbook.h"
#include "modes/wrx/wrxlogic.h"

#include <QWidget>
#include <functional>

#include <array>

class DisplayRefresh;
class MyPlotPicker;
class PairStore;
struct PairRecord;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedLayout;
class QTableWidget;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotMarker;
class QwtPlotTextLabel;

// The WRx tab: the receiver's spectrum with peak hold and marker, the marker level bar, the level
// oscilloscope, the receiver controls and the signal table of the selected pair. A user change of a
// control is reported by its signal; settings that came from the analyser are taken over silently.
class RX : public QWidget
{
    Q_OBJECT
public:
    explicit RX(QWidget* parent = nullptr);

    // What the widget reads of its owner: the pair records, the selected pair, whether a scan of all
    // pairs runs, and the answer to a yes/no question.
    struct Owner {
        std::function<PairStore*()> pairs;
        std::function<quint8()> currentPair;
        std::function<bool()> scanning;
        std::function<bool(const QString& title, const QString& text)> askYesNo;
    };
    void setOwner(const Owner& owner);
    // The receiver state the commands carry.
    Wrx::CommandState commandState() const;

    // Messages of the analyser.
    void rxSET(const QByteArray& data);     // "S" 5
    void specDATA(const QByteArray& data);  // "C" 0
    void levelDATA(const QByteArray& data); // "C" 3
    void findDATA(const QByteArray& data);  // "C" 1 and 2
    void clearRX();
    // The clear-all action: marks and selection go, the table is rebuilt.
    void clearSignals();
    // A step of the scan of all pairs (events of Wrx::SearchScan).
    void searchStep(int event);

    bool mainsFlag() const { return m_mains; }
    bool fixFlag() const { return m_fix; }
    double marker() const { return m_marker; }
    double step() const { return m_step; }
    double stopMhz() const { return m_stop; }
    double level() const { return m_traces.level(); }
    double peakLevel() const { return m_traces.peakLevel(); }
    int currentSignal() const { return m_current; }
    int sortMode() const { return m_sort; }
    QString markerText() const { return m_markerText; }
    const Wrx::Traces& traces() const { return m_traces; }
    QTableWidget* signalTable() const { return m_table; }
    QWidget* levelBar() const { return m_bar; }
    QwtPlotCurve* spectrumCurve() const { return m_specCurve; }
    QwtPlotCurve* peakCurve() const { return m_peakCurve; }
    QwtPlotCurve* oscCurve() const { return m_oscCurve; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* mainsButton() const { return m_mainsBtn; }
    QPushButton* diffButton() const { return m_diffBtn; }

    // For the reports.
    QWidget* spectrumPlot() const;
    QWidget* oscPlot() const;
    QString rangeText() const;
    QString gainText() const;
    QString stepText() const;
    bool diffOn() const { return m_diff; }
    QString freqText() const;
    QString demodText() const;
    QString timeText() const;
    quint8 frequencyMark(quint16 code) const { return m_marks.at(code); }

signals:
    void changeX(uchar val);
    void changeDiap(uchar val);
    void changeSila(uchar val);
    void changeKU(uchar val);
    void changeStep(uchar val);
    void changeMark(ushort val);
    void changeFIX(ushort val);
    void changeSND(ushort val);
    void changeDiff(ushort val);
    void changeFind();
    void updateFind(ushort val);
    void nextPARA();

public slots:
    void moveMARK(QPointF val);
    void shiftMARK(double val);
    void oscClick(QPointF val);
    void tabClick(int row, int col);
    void tabDblClick(int row, int col);
    void FindTab();
    void langRX();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void buildSpectrum();
    void buildOscilloscope();
    void buildTable();
    QLayout* buildControls();
    void nameControls();
    void wire(const ArrowList& a, void (RX::*logic)(int));
    void setCaptions();

    void setMARK(double f);
    void setRange(int dir);
    void setMains();
    void setGain(int dir);
    void setStep(int dir);
    void setTime(int dir);
    void setDemod(int dir);
    void setDiff();
    void setSearch();
    void emitFix(bool on);
    void showSpectrum();
    void colourCurves();
    void updateBar();

    // The table of the selected pair; only a table built from search results moves a scan on.
    void rebuildTable(bool fromResults);
    void selectSignal(int s, bool on);
    quint8 pair() const;
    PairStore* store() const;
    bool scanning() const;
    const PairRecord* record() const;
    PairRecord* record();
    bool searched() const;

    Owner m_owner;

    QwtPlot* m_specPlot = nullptr;
    QwtPlot* m_oscPlot = nullptr;
    QwtPlotCurve* m_specCurve = nullptr;
    QwtPlotCurve* m_peakCurve = nullptr;
    QwtPlotCurve* m_oscCurve = nullptr;
    QwtPlotMarker* m_markerLine = nullptr;
    MyPlotPicker* m_specPicker = nullptr;
    MyPlotPicker* m_oscPicker = nullptr;
    QwtPlotTextLabel* m_specTitle = nullptr;
    QwtPlotTextLabel* m_oscTitle = nullptr;
    QStackedLayout* m_stack = nullptr;
    QTableWidget* m_table = nullptr;
    QWidget* m_bar = nullptr;

    QComboBox* m_rangeList = nullptr;
    ArrowList m_gainCtl;
    ArrowList m_stepCtl;
    ArrowList m_timeCtl;
    QComboBox* m_demodList = nullptr;
    QPushButton* m_markLeft = nullptr;
    QPushButton* m_markRight = nullptr;
    QLineEdit* m_markEdit = nullptr;
    QPushButton* m_mainsBtn = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_diffBtn = nullptr;
    std::array<QLabel*, 3> m_captions{};

    // Receiver state.
    double m_start = 0.1;
    double m_stop = 60;
    double m_step = 0.2;
    double m_marker = 30;
    quint8 m_gain = 0;
    quint8 m_range = 0;
    bool m_mains = false;
    bool m_diff = false;
    bool m_demod = false;
    bool m_fix = false;
    int m_current = 0;
    int m_sort = Wrx::ByFrequency;
    bool m_fromDevice = false;
    QString m_markerText;

    // Last values the logics saw; -1 for none, so the first run counts as a change.
    int m_lastRange = -1;
    int m_lastMains = -1;
    int m_lastGain = -1;
    int m_lastStep = -1;
    int m_lastDiff = -1;
    int m_lastSearch = -1;
    int m_lastTime = -1;
    double m_lastMarker = 30;

    Wrx::Traces m_traces;
    std::array<double, Wrx::OscSamples> m_oscX{};
    Wrx::FrequencyMarks m_marks;
    Wrx::SearchScan m_scan;
    // The plots and the level bar redraw at the display's pace, not per block or frame.
    DisplayRefresh* m_specRefresh = nullptr;
    DisplayRefresh* m_oscRefresh = nullptr;
    DisplayRefresh* m_barRefresh = nullptr;
    int m_overlayWidth = -1;
    int m_overlayTop = -1;
};
