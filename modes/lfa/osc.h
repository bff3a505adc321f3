#pragma once

#include "modes/lfa/arrowlist.h"
#include "modes/lfa/biaslogic.h"
#include "modes/lfa/lfascale.h"

#include <QWidget>
#include <qwt_text.h>

#include <array>

class DisplayRefresh;
class MyPlotPicker;
class QLayout;
class QComboBox;
class QLabel;
class QPushButton;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotTextLabel;

// The LFA tab: oscilloscope and spectrum of one pair and the four analyser controls. A user change of
// a control is reported by its signal; settings that came from the analyser are taken over silently.
class OSC : public QWidget
{
    Q_OBJECT
public:
    explicit OSC(QWidget* parent = nullptr);

    // "M" 0: one oscilloscope frame.
    void oscDATA(const QByteArray& data);
    // "M" 1: one spectrum block; the second of a pair redraws the spectrum.
    void specDATA(const QByteArray& data);
    // "S" 4: the analyser's settings; nothing is reported back.
    void oscSET(const QByteArray& data);
    void clearOSC();

    bool overVoltage() const { return m_overVoltage; }
    int effectiveGain() const { return m_effGain; }

    QwtPlot* oscPlot() const { return m_oscPlot; }
    QwtPlot* specPlot() const { return m_specPlot; }
    MyPlotPicker* oscPicker() const { return m_oscPicker; }
    QwtPlotCurve* oscCurve() const { return m_oscCurve; }
    QwtPlotCurve* spectrumCurve() const { return m_specCurve; }
    QwtPlotCurve* peakCurve() const { return m_peakCurve; }
    QwtText vppText() const;
    QComboBox* timeList() const { return m_timeCtl.list; }
    QComboBox* vdivList() const { return m_vdivCtl.list; }
    QComboBox* gainList() const { return m_gainCtl.list; }
    QComboBox* biasList() const { return m_biasCtl.list; }
    QPushButton* polarityButton() const { return m_polarity; }

signals:
    void changeX(uchar val);
    void changeY(uchar val);
    void changeKU(uchar val);
    void changeBias(uchar val);

public slots:
    void slotOVER(bool over);
    void langOSC();

private:
    void buildOscilloscope();
    void buildSpectrum();
    QLayout* buildControls();
    void nameControls();
    void wire(const ArrowList& a, void (OSC::*logic)(int));
    static QStringList biasLabels(bool negative);
    void setCaptions();

    void setTIME(int dir);
    void setVDIV(int dir);
    void setKU(int dir);
    void runGain(int dir, bool report);
    void setBIAS(int dir);
    void labelGain(bool limited);
    void labelBias(bool negative);
    void showCurves();

    QwtPlot* m_oscPlot = nullptr;
    QwtPlot* m_specPlot = nullptr;
    QwtPlotCurve* m_oscCurve = nullptr;
    QwtPlotCurve* m_specCurve = nullptr;
    QwtPlotCurve* m_peakCurve = nullptr;
    MyPlotPicker* m_oscPicker = nullptr;
    MyPlotPicker* m_specPicker = nullptr;
    QwtPlotTextLabel* m_oscTitle = nullptr;
    QwtPlotTextLabel* m_specTitle = nullptr;
    QwtPlotTextLabel* m_vppLabel = nullptr;
    // The plots redraw at the display's pace, not per frame.
    DisplayRefresh* m_oscRefresh = nullptr;
    DisplayRefresh* m_specRefresh = nullptr;

    ArrowList m_timeCtl;
    ArrowList m_vdivCtl;
    ArrowList m_gainCtl;
    ArrowList m_biasCtl;
    QPushButton* m_polarity = nullptr;
    std::array<QLabel*, 4> m_captions{};

    int m_effGain = 0;
    bool m_overVoltage = false;
    bool m_fromDevice = false;
    int m_lastTime = 0;
    int m_lastVdiv = 0;
    int m_lastGain = 0;
    Lfa::BiasLogic m_biasLogic;

    std::array<double, Lfa::SamplesPerFrame> m_x{};
    std::array<double, Lfa::SamplesPerFrame + 1> m_y{};
    std::array<double, Lfa::SpectrumBins + 1> m_specX{};
    std::array<double, Lfa::SpectrumBins + 1> m_spec{};
    std::array<double, Lfa::SpectrumBins + 1> m_peak{};
    QwtText m_vppText;
    quint8 m_vppRefresh = 4;
    bool m_vppMeasured = false; // the caption shows a measured value
};
