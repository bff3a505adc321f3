// LFA mode: the oscilloscope widget's controls and traces, the LFA messages through the main window,
// and the whole road on the virtual analyser.
#include "link/dispatchroute.h"
#include "modes/lfa/bandfillcurve.h"
#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/lfamessages.h"
#include "modes/lfa/lfascale.h"
#include "modes/lfa/myplotpicker.h"
#include "modes/lfa/osc.h"
#include "modes/wrx/rx.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "sim/mode_lfa.h"
#include "windowrigs.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>

namespace
{
QByteArray oscFrame(quint16 vpp, quint8 unit, quint8 sample = 110)
{
    QByteArray p(197, char(sample));
    p[0] = 'M';
    p[1] = 0;
    p[2] = char(vpp & 0xFF);
    p[3] = char(vpp >> 8);
    p[4] = char(unit);
    return p;
}

QByteArray spectrumBlock(quint8 block, quint8 level)
{
    QByteArray p(131, char(level));
    p[0] = 'M';
    p[1] = 1;
    p[2] = char(block);
    return p;
}

// "S" 4 with the wires of no pair unless given.
QByteArray settings(quint8 biasCode, quint8 gain, quint8 time, quint8 vdiv, bool over = false, quint8 a = 0,
                    quint8 b = 0)
{
    const char bytes[] = {'S',        4, char(a),    char(b),   0, char(over ? 1 : 0), 5, 0, char(biasCode),
                          char(gain), 0, char(time), char(vdiv)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray voltages(qint16 dcTenths, qint16 acHundredths, quint8 a, quint8 b, quint8 statusA, bool over,
                    quint8 statusC = 0)
{
    QByteArray p(13, '\0');
    p[0] = 'V';
    p[1] = char(dcTenths & 0xFF);
    p[2] = char((dcTenths >> 8) & 0xFF);
    p[3] = char(acHundredths & 0xFF);
    p[4] = char((acHundredths >> 8) & 0xFF);
    p[5] = char(a);
    p[6] = char(b);
    p[7] = char(statusA);
    p[8] = char(over ? 1 : 0);
    p[11] = 7;
    p[12] = char(statusC);
    return p;
}

// As the frame receiver delivers it: with its trailing zero.
QByteArray delivered(const QByteArray& payload)
{
    return payload + '\0';
}

QStringList itemTexts(const QComboBox* list, int from = 0, int to = -1)
{
    QStringList texts;
    for (int i = from; i <= (to < 0 ? list->count() - 1 : to); ++i)
        texts << list->itemText(i);
    return texts;
}

QPushButton* button(const OSC& osc, const QString& name)
{
    return osc.findChild<QPushButton*>(name);
}

struct Spies {
    QSignalSpy x, y, ku, bias;
    explicit Spies(OSC& osc)
        : x(&osc, &OSC::changeX), y(&osc, &OSC::changeY), ku(&osc, &OSC::changeKU),
          bias(&osc, &OSC::changeBias)
    {
    }
    int total() const { return x.count() + y.count() + ku.count() + bias.count(); }
    QList<int> biasCodes() const
    {
        QList<int> codes;
        for (const QList<QVariant>& args : bias)
            codes << args.at(0).toInt();
        return codes;
    }
};

// Counts the paints of one widget and remembers how many messages were in at the last one.
struct PaintWatch : QObject {
    QWidget* watched;
    int fed = 0;
    int paints = 0;
    int fedAtLastPaint = -1;
    explicit PaintWatch(QWidget* w) : watched(w) { w->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == watched && e->type() == QEvent::Paint) {
            ++paints;
            fedAtLastPaint = fed;
        }
        return false;
    }
};

const QStringList FreeGain{"20dB", "30dB", "40dB", "50dB", "60dB"};
const QStringList LimitedGainItems{"25dB", "25dB", "25dB", "25dB", "25dB"};

// The main window on a scripted port, connected, LFA tab shown.
struct WindowRig : FakePortWindowRig {
    WindowRig()
    {
        connectAnalyser();
        port->sent.clear();
    }
    OSC& osc() const { return *w->osc(); }
    void select(int pair)
    {
        w->swClick(pair, 1);
        QCOMPARE(int(w->currentPair()), pair);
        port->sent.clear();
    }
    QList<QByteArray> commands() const
    {
        QList<QByteArray> o;
        for (const QByteArray& p : port->sent)
            if (p.startsWith('O'))
                o << p;
        return o;
    }
};
} // namespace

class TestLfa : public QObject
{
    Q_OBJECT
private slots:
    // Widget-free pieces.
    void vdivLabelsAndAxis_data();
    void vdivLabelsAndAxis();
    void vppCaptionAndVolts_data();
    void vppCaptionAndVolts();
    void payloadsReadPastTheirEnd();

    // The widget.
    void arrowsDisabledAtTheEnds_data();
    void arrowsDisabledAtTheEnds();
    void timeBase_data();
    void timeBase();
    void biasLimitsTheGain();
    void overVoltageLocksTheBias_data();
    void overVoltageLocksTheBias();
    void pickedGainReachesTheAnalyserWhileLimited();
    void overVoltageFromSettingsAndFlagAgree();
    void polarityAtZeroBias();
    void samplesScaledByVdiv_data();
    void samplesScaledByVdiv();
    void vppCaptionEverySixthFrame();
    void spectrumRedrawnByTheSecondBlock();
    void settingsFromTheAnalyser_data();
    void settingsFromTheAnalyser();
    void settingsAreNotReportedBack();
    void polarityIconMadeOncePerPicture();

    // Through the main window.
    void controlChangesSendCommands_data();
    void controlChangesSendCommands();
    void noCommandWhileApplyingSettings();
    void lineVoltagesOfTheSelectedPair();
    void overVoltageFromLineVoltages();
    void overVoltageColoursOnlyTheCurrentRow();
    void vppBecomesThePairsAcVoltage();
    void messagesOnlyOnTheLfaTabWithAPair();

    // The virtual analyser.
    void analyserFramesFollowItsSettings();
    void analyserVppUnitFollowsTheValue();
    void endToEndOnTheVirtualAnalyser();
    void burstDrawnAtDisplayPace_data();
    void burstDrawnAtDisplayPace();
    void hiddenViewDrawnWhenShown();
    void bandedFillLooksLikeOneFill_data();
    void bandedFillLooksLikeOneFill();
};

void TestLfa::vdivLabelsAndAxis_data()
{
    QTest::addColumn<int>("vdiv");
    QTest::addColumn<int>("gain");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("decimals");
    QTest::newRow("1V at 0dB") << 1 << 0 << "1V" << 1 << 2;
    QTest::newRow("1V at 5dB") << 1 << 1 << "500mV" << 500 << 0;
    QTest::newRow("1V at divisor 22") << 1 << 8 << "45mV" << 45 << 1;
    QTest::newRow("10V at divisor 22") << 0 << 8 << "455mV" << 455 << 0;
    // 12.5 mV and 12.5 uV: half away from zero, not to even.
    QTest::newRow("500mV at 30dB") << 2 << 4 << "13mV" << 13 << 1;
    QTest::newRow("5mV at 50dB") << 8 << 6 << "13uV" << 13 << 1;
    QTest::newRow("2mV at 60dB") << 9 << 7 << "2uV" << 2 << 2;
    QTest::newRow("50mV at 60dB") << 5 << 7 << "50uV" << 50 << 0;
}

void TestLfa::vdivLabelsAndAxis()
{
    QFETCH(int, vdiv);
    QFETCH(int, gain);
    QTEST(Lfa::vdivLabel(vdiv, gain), "label");
    const double value = Lfa::vdivScale(vdiv, gain).value;
    QTEST(Lfa::vdivAxisStep(value), "step");
    QTEST(Lfa::vdivDecimals(value), "decimals");
}

void TestLfa::vppCaptionAndVolts_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("volts");
    QTest::newRow("millivolts") << 1234 << 1 << "Vpp: 1234 mV " << 1.234;
    QTest::newRow("hundredths") << 1234 << 2 << "Vpp: 12.3 V " << 12.34;
    QTest::newRow("microvolts") << 850 << 0 << "Vpp: 850 uV " << 0.00085;
    QTest::newRow("unknown unit is microvolts") << 500 << 7 << "Vpp: 500 uV " << 0.0005;
    // Above 32767 the value is still positive.
    QTest::newRow("unsigned") << 40000 << 1 << "Vpp: 40000 mV " << 40.0;
}

void TestLfa::vppCaptionAndVolts()
{
    QFETCH(int, value);
    QFETCH(int, unit);
    QTEST(Lfa::vppCaption(quint16(value), quint8(unit)), "caption");
    QFETCH(double, volts);
    QVERIFY(qFuzzyCompare(Lfa::vppVolts(quint16(value), quint8(unit)), volts));
}

void TestLfa::payloadsReadPastTheirEnd()
{
    // A frame cut short reads zeros for what is missing, and nothing beyond its bytes.
    const Lfa::OscFrame f = Lfa::decodeOscFrame(oscFrame(300, 1, 150).left(10));
    QCOMPARE(f.vpp, quint16(300));
    QCOMPARE(int(f.samples[4]), 150);
    QCOMPARE(int(f.samples[5]), 0);
    QCOMPARE(int(f.samples[191]), 0);

    const Lfa::LineVoltages v = Lfa::decodeLineVoltages(voltages(-123, 250, 3, 6, 1, true, 5));
    QCOMPARE(int(v.dcTenths), -123);
    QCOMPARE(int(v.acHundredths), 250);
    QCOMPARE(int(v.wireA) * 10 + v.wireB, 36);
    QVERIFY(v.overVoltage);
    QCOMPARE(int(v.statusB), 7);
    QCOMPARE(int(v.statusC), 5);
    const Lfa::LineVoltages shortV = Lfa::decodeLineVoltages(voltages(-123, 250, 3, 6, 1, true, 5).left(9));
    QCOMPARE(int(shortV.statusC), 0);
    QVERIFY(shortV.overVoltage);
}

void TestLfa::arrowsDisabledAtTheEnds_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Time/div") << "time";
    QTest::newRow("V/div") << "vdiv";
    QTest::newRow("Gain") << "gain";
    QTest::newRow("Bias") << "bias";
}

void TestLfa::arrowsDisabledAtTheEnds()
{
    QFETCH(QString, name);
    OSC osc;
    auto* list = osc.findChild<QComboBox*>(name + "List");
    QPushButton* left = button(osc, name + "Left");
    QPushButton* right = button(osc, name + "Right");
    list->setCurrentIndex(1);
    left->click();
    QCOMPARE(list->currentIndex(), 0);
    QVERIFY(!left->isEnabled());
    QVERIFY(right->isEnabled());
    for (int i = 0; i < list->count(); ++i)
        right->click();
    QCOMPARE(list->currentIndex(), list->count() - 1);
    QVERIFY(left->isEnabled());
    QVERIFY(!right->isEnabled());
}

void TestLfa::timeBase_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("axisEnd");
    QTest::addColumn<double>("step");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QString>("tracker");
    QTest::newRow("1 ms") << 3 << 9.6 << 1.0 << QPointF(4.8, 0.52) << "4.8ms, 0.52V";
    QTest::newRow("500 us") << 4 << 4800.0 << 500.0 << QPointF(2400.4, 0.5) << "2400us, 0.50V";
    QTest::newRow("10 ms") << 0 << 96.0 << 10.0 << QPointF(48.26, -1) << "48.3ms, -1.00V";
}

void TestLfa::timeBase()
{
    QFETCH(int, index);
    QFETCH(double, axisEnd);
    QFETCH(double, step);
    OSC osc;
    osc.timeList()->setCurrentIndex(index);
    const QwtScaleDiv div = osc.oscPlot()->axisScaleDiv(QwtPlot::xBottom);
    QCOMPARE(div.lowerBound(), 0.0);
    QVERIFY(qFuzzyCompare(div.upperBound(), axisEnd));
    const QList<double> ticks = div.ticks(QwtScaleDiv::MajorTick);
    QVERIFY(ticks.size() >= 2);
    QVERIFY(qFuzzyCompare(ticks.at(1) - ticks.at(0), step));
    QFETCH(QPointF, point);
    QTEST(osc.oscPicker()->trackerTextF(point).text(), "tracker");

    // 20 samples per division: the next frame's last sample sits just before the axis end.
    osc.oscDATA(delivered(oscFrame(0, 1)));
    const QPointF last = osc.oscCurve()->sample(Lfa::SamplesPerFrame - 1);
    QVERIFY(qFuzzyCompare(last.x(), axisEnd * 191 / 192));
}

void TestLfa::biasLimitsTheGain()
{
    OSC osc;
    Spies spies(osc);
    osc.gainList()->setCurrentIndex(3);
    button(osc, "biasRight")->click();
    QCOMPARE(osc.biasList()->currentText(), QString("+5V"));
    QCOMPARE(osc.effectiveGain(), Lfa::LimitedGain);
    QCOMPARE(itemTexts(osc.gainList(), 3, 7), LimitedGainItems);
    QCOMPARE(osc.vdivList()->itemText(1), QString("45mV"));
    QCOMPARE(osc.specPlot()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), 15.0);
    QCOMPARE(osc.specPlot()->axisScaleDiv(QwtPlot::yLeft).upperBound(), 115.0);
    QCOMPARE(osc.oscPlot()->axisScaleDiv(QwtPlot::yLeft).upperBound(), 90.0);
    QCOMPARE(spies.biasCodes(), QList<int>{6});

    // Still limited at 30 dB; the axes come back with the bias switched off.
    osc.gainList()->setCurrentIndex(4);
    QCOMPARE(osc.specPlot()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), 15.0);
    button(osc, "biasLeft")->click();
    QCOMPARE(itemTexts(osc.gainList(), 3, 7), FreeGain);
    QCOMPARE(osc.effectiveGain(), 4);
    QCOMPARE(osc.vdivList()->itemText(1), QString("25mV"));
    QCOMPARE(osc.specPlot()->axisScaleDiv(QwtPlot::yLeft).lowerBound(), 10.0);
    QCOMPARE(osc.specPlot()->axisScaleDiv(QwtPlot::yLeft).upperBound(), 110.0);
    QCOMPARE(spies.biasCodes(), (QList<int>{6, 5}));
    // The analyser ran at 25 dB meanwhile, so it is told the gain again.
    QCOMPARE(spies.ku.count(), 3);
    QCOMPARE(spies.ku.at(1).at(0).toInt(), 4);
    QCOMPARE(spies.ku.at(2).at(0).toInt(), 4);
}

void TestLfa::overVoltageLocksTheBias_data()
{
    QTest::addColumn<int>("bias");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("codeAfter");
    QTest::addColumn<QStringList>("gainAfter");
    QTest::newRow("+10 V") << 2 << "+10V" << 7 << LimitedGainItems;
    QTest::newRow("0 V") << 0 << "0V" << 5 << FreeGain;
}

void TestLfa::overVoltageLocksTheBias()
{
    QFETCH(int, bias);
    OSC osc;
    osc.biasList()->setCurrentIndex(bias);
    Spies spies(osc);
    osc.slotOVER(true);
    QCOMPARE(osc.biasList()->itemText(bias), QString("X"));
    QVERIFY(!osc.biasList()->isEnabled());
    QVERIFY(!button(osc, "biasLeft")->isEnabled());
    QVERIFY(!button(osc, "biasRight")->isEnabled());
    QVERIFY(!button(osc, "polarity")->isEnabled());
    QCOMPARE(itemTexts(osc.gainList(), 3, 7), LimitedGainItems);
    QCOMPARE(spies.bias.count(), 0);
    // The same state again changes nothing.
    osc.slotOVER(true);
    QCOMPARE(spies.bias.count(), 0);

    osc.slotOVER(false);
    QTEST(osc.biasList()->itemText(bias), "text");
    QVERIFY(osc.biasList()->isEnabled());
    QVERIFY(button(osc, "polarity")->isEnabled());
    QCOMPARE(button(osc, "biasLeft")->isEnabled(), bias != 0);
    QVERIFY(button(osc, "biasRight")->isEnabled());
    QFETCH(int, codeAfter);
    QCOMPARE(spies.biasCodes(), QList<int>{codeAfter});
    QTEST(itemTexts(osc.gainList(), 3, 7), "gainAfter");
}

void TestLfa::pickedGainReachesTheAnalyserWhileLimited()
{
    OSC osc;
    Spies spies(osc);
    osc.gainList()->setCurrentIndex(6);
    osc.biasList()->setCurrentIndex(1);
    osc.gainList()->setCurrentIndex(3);
    QCOMPARE(spies.ku.count(), 2);
    QCOMPARE(spies.ku.last().at(0).toInt(), 3);
    // Freed again: the analyser must run at what the list shows.
    osc.biasList()->setCurrentIndex(0);
    QCOMPARE(osc.gainList()->currentText(), QString("20dB"));
    QCOMPARE(spies.ku.count(), 3);
    QCOMPARE(spies.ku.last().at(0).toInt(), 3);
}

void TestLfa::overVoltageFromSettingsAndFlagAgree()
{
    OSC osc;
    osc.gainList()->setCurrentIndex(4);
    osc.slotOVER(true);
    osc.oscSET(delivered(settings(5, 4, 3, 1)));
    QVERIFY(osc.biasList()->isEnabled());
    osc.slotOVER(true);
    QVERIFY(!osc.biasList()->isEnabled());
    QCOMPARE(osc.biasList()->currentText(), QString("X"));
    QCOMPARE(osc.effectiveGain(), Lfa::LimitedGain);
}

void TestLfa::polarityAtZeroBias()
{
    OSC osc;
    Spies spies(osc);
    QPushButton* polarity = button(osc, "polarity");
    polarity->click();
    QCOMPARE(itemTexts(osc.biasList()), (QStringList{"0V", "-5V", "-10V", "-15V", "-20V", "-26V"}));
    polarity->click();
    QCOMPARE(itemTexts(osc.biasList()), (QStringList{"0V", "+5V", "+10V", "+15V", "+20V", "+26V"}));
    QCOMPARE(spies.biasCodes(), (QList<int>{5, 5}));
    // Negative bias counts down from 5.
    polarity->click();
    button(osc, "biasRight")->click();
    button(osc, "biasRight")->click();
    QCOMPARE(osc.biasList()->currentText(), QString("-10V"));
    QCOMPARE(spies.biasCodes().last(), 3);
}

void TestLfa::samplesScaledByVdiv_data()
{
    QTest::addColumn<int>("vdiv");
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("sample");
    QTest::addColumn<double>("y");
    QTest::newRow("1 V/div, +1 div") << 1 << 0 << 165 << 1.0;
    QTest::newRow("1 V/div, -1 div") << 1 << 0 << 55 << -1.0;
    QTest::newRow("1 V/div, top") << 1 << 0 << 220 << 2.0;
    QTest::newRow("1 V/div, bottom") << 1 << 0 << 0 << -2.0;
    QTest::newRow("10 V/div") << 0 << 0 << 165 << 10.0;
    QTest::newRow("200 mV/div, in mV") << 3 << 0 << 55 << -200.0;
    // 1 V at 10 dB is 250 mV per division.
    QTest::newRow("1 V/div at 10 dB") << 1 << 2 << 165 << 250.0;
}

void TestLfa::samplesScaledByVdiv()
{
    QFETCH(int, vdiv);
    QFETCH(int, gain);
    QFETCH(int, sample);
    QFETCH(double, y);
    OSC osc;
    osc.vdivList()->setCurrentIndex(vdiv);
    osc.gainList()->setCurrentIndex(gain);
    QByteArray frame = oscFrame(0, 0);
    frame[5 + 17] = char(sample);
    osc.oscDATA(delivered(frame));
    QCOMPARE(osc.oscCurve()->dataSize(), size_t(192));
    QVERIFY(qFuzzyCompare(osc.oscCurve()->sample(17).y() + 1000, y + 1000));
    QCOMPARE(osc.oscCurve()->sample(16).y(), 0.0);
}

void TestLfa::vppCaptionEverySixthFrame()
{
    OSC osc;
    QStringList shown;
    for (int frame = 1; frame <= 8; ++frame) {
        osc.oscDATA(delivered(oscFrame(quint16(1000 + frame), 1)));
        shown << osc.vppText().text();
    }
    QCOMPARE(shown.first(), QString("Vpp: 0.0v "));
    QCOMPARE(shown.at(1), QString("Vpp: 1002 mV "));
    QCOMPARE(shown.at(6), QString("Vpp: 1002 mV "));
    QCOMPARE(shown.at(7), QString("Vpp: 1008 mV "));
}

void TestLfa::spectrumRedrawnByTheSecondBlock()
{
    OSC osc;
    osc.specDATA(delivered(spectrumBlock(0, 70)));
    QCOMPARE(osc.spectrumCurve()->sample(5).y(), -10.0);
    osc.specDATA(delivered(spectrumBlock(1, 50)));
    QCOMPARE(osc.spectrumCurve()->dataSize(), size_t(257));
    QCOMPARE(osc.spectrumCurve()->sample(5).y(), 70.0);
    QCOMPARE(osc.spectrumCurve()->sample(200).y(), 50.0);
    QCOMPARE(osc.spectrumCurve()->sample(256).y(), -10.0);
    QVERIFY(qFuzzyCompare(osc.spectrumCurve()->sample(255).x(), 25000.0));

    // The peak keeps the highest level; a block beyond the spectrum is dropped.
    osc.specDATA(delivered(spectrumBlock(0, 40)));
    osc.specDATA(delivered(spectrumBlock(1, 90)));
    osc.specDATA(delivered(spectrumBlock(2, 120)));
    QCOMPARE(osc.spectrumCurve()->sample(5).y(), 40.0);
    QCOMPARE(osc.peakCurve()->sample(5).y(), 70.0);
    QCOMPARE(osc.peakCurve()->sample(200).y(), 90.0);
    QVERIFY(osc.peakCurve()->z() < osc.spectrumCurve()->z());

    // Settings from the analyser start the peak again.
    osc.oscSET(delivered(settings(5, 0, 3, 1)));
    QCOMPARE(osc.peakCurve()->sample(5).y(), -10.0);
    QCOMPARE(osc.spectrumCurve()->sample(200).y(), -10.0);
}

void TestLfa::settingsFromTheAnalyser_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("negative");
    QTest::newRow("3") << 3 << "-10V" << true;
    QTest::newRow("8") << 8 << "+15V" << false;
    QTest::newRow("5") << 5 << "0V" << false;
    QTest::newRow("0") << 0 << "-26V" << true;
}

void TestLfa::settingsFromTheAnalyser()
{
    QFETCH(int, code);
    OSC osc;
    Spies spies(osc);
    osc.oscSET(delivered(settings(quint8(code), 6, 5, 7)));
    QTEST(osc.biasList()->currentText(), "text");
    QTEST(button(osc, "polarity")->isChecked(), "negative");
    QCOMPARE(osc.gainList()->currentIndex(), 6);
    QCOMPARE(osc.timeList()->currentIndex(), 5);
    QCOMPARE(osc.vdivList()->currentIndex(), 7);
    QCOMPARE(spies.total(), 0);
}

void TestLfa::settingsAreNotReportedBack()
{
    OSC osc;
    osc.oscSET(delivered(settings(5, 2, 5, 4)));
    Spies spies(osc);
    // Remembered as reported: going back to the time base from before the settings is a change,
    // and the V/div logic that a gain change reruns reports nothing.
    osc.timeList()->setCurrentIndex(3);
    QCOMPARE(spies.x.count(), 1);
    QCOMPARE(spies.x.first().at(0).toInt(), 3);
    osc.gainList()->setCurrentIndex(1);
    QCOMPARE(spies.ku.count(), 1);
    QCOMPARE(spies.y.count(), 0);

    // An over-voltage in the settings locks the bias as the line-voltage flag does.
    osc.oscSET(delivered(settings(7, 4, 5, 4, true)));
    QVERIFY(osc.overVoltage());
    QCOMPARE(osc.biasList()->currentText(), QString("X"));
    QVERIFY(!osc.biasList()->isEnabled());
    QCOMPARE(osc.effectiveGain(), Lfa::LimitedGain);
    // Values outside their lists leave the lists as they are.
    osc.oscSET(delivered(settings(40, 9, 7, 10)));
    QCOMPARE(osc.gainList()->currentIndex(), 4);
    QCOMPARE(osc.timeList()->currentIndex(), 5);
    QCOMPARE(osc.vdivList()->currentIndex(), 4);
    QCOMPARE(spies.x.count(), 1);
    QCOMPARE(spies.y.count() + spies.bias.count(), 0);
    QCOMPARE(spies.ku.count(), 1);
}

void TestLfa::polarityIconMadeOncePerPicture()
{
    // Settings arrive again and again; a fresh icon each time leaves a dead copy in the pixmap cache.
    OSC osc;
    QPushButton* polarity = button(osc, "polarity");
    osc.oscSET(delivered(settings(3, 6, 5, 7)));
    const qint64 minus = polarity->icon().cacheKey();
    osc.oscSET(delivered(settings(8, 6, 5, 7)));
    const qint64 plus = polarity->icon().cacheKey();
    QVERIFY(plus != minus);
    osc.oscSET(delivered(settings(0, 6, 5, 7)));
    QCOMPARE(polarity->icon().cacheKey(), minus);
    osc.oscSET(delivered(settings(8, 6, 5, 7)));
    QCOMPARE(polarity->icon().cacheKey(), plus);
}

void TestLfa::controlChangesSendCommands_data()
{
    QTest::addColumn<QString>("arrow");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("Time/div") << "timeRight" << QByteArray("O\x0d\x04", 3);
    QTest::newRow("V/div") << "vdivLeft" << QByteArray("O\x0e\x00", 3);
    QTest::newRow("Gain") << "gainRight" << QByteArray("O\x0f\x01", 3);
    QTest::newRow("Bias") << "biasRight" << QByteArray("O\x10\x06", 3);
    QTest::newRow("polarity") << "polarity" << QByteArray("O\x10\x05", 3);
}

void TestLfa::controlChangesSendCommands()
{
    QFETCH(QString, arrow);
    WindowRig r;
    button(r.osc(), arrow)->click();
    QTEST(r.commands().value(0), "command");
    QCOMPARE(r.commands().size(), 1);
}

void TestLfa::noCommandWhileApplyingSettings()
{
    WindowRig r;
    r.select(12);
    const PairWires wires = pairWires(12);
    r.port->pushPayload(settings(2, 5, 1, 8, false, wires.a, wires.b));
    r.port->pushPayload(settings(9, 3, 6, 0, true, wires.a, wires.b));
    r.port->pushPayload(settings(5, 0, 2, 2, false, wires.a, wires.b));
    QCOMPARE(r.osc().timeList()->currentIndex(), 2);
    QCOMPARE(int(r.w->currentPair()), 12);
    QCOMPARE(r.commands(), QList<QByteArray>());
    // The controls still report what the user does afterwards.
    button(r.osc(), "gainRight")->click();
    QCOMPARE(r.commands(), QList<QByteArray>{QByteArray("O\x0f\x01", 3)});
}

void TestLfa::lineVoltagesOfTheSelectedPair()
{
    WindowRig r;
    r.select(pairNumberOf(3, 6));
    const int row = pairNumberOf(3, 6);
    r.port->pushPayload(voltages(-123, 456, 3, 6, 0, false, 0));
    const PairRecord& rec = r.w->pairStore()[row];
    QCOMPARE(rec.dcVoltage, -12.3f);
    QCOMPARE(rec.acVoltage, 4.56f);
    QCOMPARE(int(rec.statusB), 7);
    QVERIFY(rec.dataFlags & DataFlag::lfaValid);
    QTableWidget* table = r.ui()->swTAB;
    QCOMPARE(table->item(row, 1)->text(), QString("-12.3 v"));
    QCOMPARE(table->item(row, 2)->text(), QString("4.56 v"));
    QCOMPARE(table->item(row, 1)->foreground().color(), QColor(0x55FF55));

    // Another pair's voltages, and wires of no pair, are dropped.
    r.port->pushPayload(voltages(99, 99, 3, 7, 0, false));
    r.port->pushPayload(voltages(99, 99, 6, 3, 0, false));
    r.port->pushPayload(voltages(99, 99, 0, 6, 0, false));
    QCOMPARE(r.w->pairStore()[row].dcVoltage, -12.3f);
    QCOMPARE(r.w->pairStore()[pairNumberOf(3, 7)].dataFlags & DataFlag::lfaValid, 0);
}

void TestLfa::overVoltageFromLineVoltages()
{
    WindowRig r;
    const int row = pairNumberOf(2, 5);
    r.select(row);
    r.osc().biasList()->setCurrentIndex(2);
    r.port->sent.clear();
    r.port->pushPayload(voltages(1500, 20, 2, 5, 1, true, 5));
    QVERIFY(r.osc().overVoltage());
    QCOMPARE(r.osc().biasList()->currentText(), QString("X"));
    QCOMPARE(r.ui()->swTAB->item(row, 1)->foreground().color(), QColor(0xFF5555));
    QCOMPARE(r.commands(), QList<QByteArray>());

    r.port->pushPayload(voltages(15, 20, 2, 5, 1, false, 0));
    QVERIFY(!r.osc().overVoltage());
    QCOMPARE(r.commands(), QList<QByteArray>{QByteArray("O\x10\x07", 3)});
    QCOMPARE(r.ui()->swTAB->item(row, 1)->foreground().color(), QColor(0xFFFFFF));
}

void TestLfa::overVoltageColoursOnlyTheCurrentRow()
{
    WindowRig r;
    const int quiet = pairNumberOf(1, 4), live = pairNumberOf(2, 5);
    r.select(quiet);
    r.port->pushPayload(voltages(15, 20, 1, 4, 1, false));
    r.select(live);
    r.port->pushPayload(voltages(1500, 20, 2, 5, 1, true, 5));
    r.w->setFind(0);
    QCOMPARE(r.ui()->swTAB->item(quiet, 1)->foreground().color(), QColor(0xFFFFFF));
    QCOMPARE(r.ui()->swTAB->item(live, 1)->foreground().color(), QColor(0xFF5555));
}

void TestLfa::vppBecomesThePairsAcVoltage()
{
    WindowRig r;
    const int row = 4;
    r.select(row);
    r.port->pushPayload(voltages(10, 50, pairWires(row).a, pairWires(row).b, 0, false));
    r.port->pushPayload(oscFrame(1234, 1));
    QCOMPARE(r.w->pairStore()[row].acVoltage, 1.234f);
    QCOMPARE(r.ui()->swTAB->item(row, 2)->text(), QString("1.23 v"));
    r.port->pushPayload(oscFrame(40000, 2));
    QCOMPARE(r.w->pairStore()[row].acVoltage, 400.0f);
    QCOMPARE(r.ui()->swTAB->item(row, 2)->foreground().color(), QColor(0xFF5555));
}

void TestLfa::messagesOnlyOnTheLfaTabWithAPair()
{
    WindowRig r;
    const PairWires wires = pairWires(7);
    // No pair selected yet.
    r.port->pushPayload(voltages(10, 50, wires.a, wires.b, 0, true));
    r.port->pushPayload(oscFrame(1234, 1, 200));
    QVERIFY(!r.osc().overVoltage());
    QCOMPARE(r.osc().oscCurve()->sample(0).y(), 0.0);

    r.select(7);
    r.ui()->tabWidget->setCurrentIndex(Tab::Wrx);
    r.w->swClick(7, 1);
    r.port->pushPayload(voltages(10, 50, wires.a, wires.b, 0, true));
    r.port->pushPayload(oscFrame(1234, 1, 200));
    QVERIFY(!r.osc().overVoltage());
    QCOMPARE(r.osc().oscCurve()->sample(0).y(), 0.0);
    QCOMPARE(r.w->pairStore()[7].acVoltage, 0.0f);

    // Settings are taken on any tab.
    r.port->pushPayload(settings(5, 0, 6, 1, false, wires.a, wires.b));
    QCOMPARE(r.osc().timeList()->currentIndex(), 6);
}

void TestLfa::analyserFramesFollowItsSettings()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* lfa = dynamic_cast<LfaMode*>(analyser.modeHandler(VirtualAnalyser::ModeLfa));
    QVERIFY(lfa);
    // A pair with a few volts of AC: 5 dB of gain doubles its trace at 10 V/div.
    int a = 0, b = 0;
    for (int p = 1; p <= PairCount && a == 0; ++p) {
        const PairWires w = pairWires(p);
        const double ac = analyser.cable().voltageOf(w.a, w.b).ac;
        if (ac > 1 && ac < 6 && !analyser.cable().isOverVoltage(w.a, w.b)) {
            a = w.a;
            b = w.b;
        }
    }
    QVERIFY(a != 0);
    analyser.reportPair(quint8(a), quint8(b));
    auto swing = [&] {
        const QByteArray f = lfa->oscFrame(analyser);
        int lo = 255, hi = 0;
        for (int i = 5; i < f.size(); ++i) {
            lo = qMin(lo, int(quint8(f[i])));
            hi = qMax(hi, int(quint8(f[i])));
        }
        return hi - lo;
    };
    QCOMPARE(lfa->oscFrame(analyser).size(), 197);
    QVERIFY(lfa->command(analyser, QByteArray("O\x0e\x00", 3)));
    const int plain = swing();
    QVERIFY(lfa->command(analyser, QByteArray("O\x0f\x01", 3)));
    const int amplified = swing();
    QVERIFY(plain > 20);
    QVERIFY(amplified > 1.8 * plain && amplified < 2.2 * plain);

    // The mains line stands above the floor; the line voltages are the cable's.
    const QByteArray block0 = lfa->spectrumBlock(analyser, 0);
    QCOMPARE(block0.size(), 131);
    QVERIFY(quint8(block0[3 + 1]) > quint8(block0[3 + 100]) + 30);
    const QByteArray v = lfa->lineVoltages(analyser);
    QCOMPARE(v.size(), 13);
    const Lfa::LineVoltages lv = Lfa::decodeLineVoltages(v);
    QCOMPARE(lv.acHundredths, qint16(qRound(analyser.cable().voltageOf(a, b).ac * 100)));
    QCOMPARE(lv.dcTenths, qint16(qRound(analyser.cable().voltageOf(a, b).dc * 10)));
}

void TestLfa::analyserVppUnitFollowsTheValue()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* lfa = dynamic_cast<LfaMode*>(analyser.modeHandler(VirtualAnalyser::ModeLfa));
    QVERIFY(lfa);
    // Millivolts up to four digits, then volts.
    int inVolts = 0;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        analyser.reportPair(w.a, w.b);
        const Lfa::OscFrame f = Lfa::decodeOscFrame(lfa->oscFrame(analyser));
        const double volts = Lfa::vppVolts(f.vpp, f.vppUnit);
        const QByteArray where = QByteArray::number(p) + ": " + QByteArray::number(f.vpp) + " in unit " +
                                 QByteArray::number(f.vppUnit);
        if (f.vppUnit == 2) {
            QVERIFY2(volts >= 10, where);
            ++inVolts;
        } else {
            QVERIFY2(f.vpp < 10000 && volts < 10, where);
        }
    }
    QVERIFY(inVolts > 0);
}

void TestLfa::endToEndOnTheVirtualAnalyser()
{
    VirtualAnalyser analyser;
    analyser.setAutoTalk(false);
    auto* port = new VirtualAnalyserPort(analyser);
    ScriptedPrompts prompts;
    MainWindow w(nullptr, port, &prompts);
    auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    for (int i = 0; i < 4; ++i) {
        w.openSerialPort();
        w.openSerialPort();
        settle();
    }
    QCOMPARE(w.linkState(), quint8(2));
    const auto* lfa = dynamic_cast<const LfaMode*>(analyser.modeHandler(VirtualAnalyser::ModeLfa));

    int mains = 0, over = 0;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires wires = pairWires(p);
        if (analyser.cable().isOverVoltage(wires.a, wires.b))
            over = p;
        else if (mains == 0 && analyser.cable().voltageOf(wires.a, wires.b).ac > 1)
            mains = p;
    }
    QVERIFY(mains != 0 && over != 0);
    w.swClick(mains, 1);
    settle();
    analyser.tick();
    settle();

    OSC& osc = *w.osc();
    const QwtPlotCurve* trace = osc.oscCurve();
    double swing = 0;
    for (size_t i = 0; i < trace->dataSize(); ++i)
        swing = qMax(swing, qAbs(trace->sample(i).y()));
    QVERIFY(swing > 0.5);
    QVERIFY(osc.spectrumCurve()->sample(1).y() > 60);
    const PairWires wires = pairWires(mains);
    const LineVoltage cable = analyser.cable().voltageOf(wires.a, wires.b);
    const PairRecord& rec = w.pairStore()[mains];
    QVERIFY(rec.dataFlags & DataFlag::lfaValid);
    QCOMPARE(qRound(rec.dcVoltage * 10), qRound(cable.dc * 10));
    QVERIFY(rec.acVoltage > 1);
    QCOMPARE(w.form()->swTAB->item(mains, 1)->text(), QString::asprintf("%.1f v", cable.dc));

    // A change reaches the analyser, whose settings come back without an echo.
    port->clearSent();
    button(osc, "timeRight")->click();
    settle();
    QCOMPARE(int(lfa->timeIndex()), 4);
    // Set on the analyser itself: its status brings the setting over.
    QVERIFY(analyser.modeHandler(VirtualAnalyser::ModeLfa)->command(analyser, QByteArray("O\x0d\x01", 3)));
    settle();
    QCOMPARE(osc.timeList()->currentIndex(), 1);
    QCOMPARE(osc.oscPlot()->axisScaleDiv(QwtPlot::xBottom).upperBound(), 48.0);
    QCOMPARE(port->sentPayloads().count(QByteArray("O\x0d\x04", 3)), 1);
    int commands = 0;
    for (const QByteArray& p : port->sentPayloads())
        commands += p.startsWith('O');
    QCOMPARE(commands, 1);

    // The live pair locks the bias.
    w.swClick(over, 1);
    settle();
    analyser.tick();
    settle();
    QVERIFY(osc.overVoltage());
    QCOMPARE(osc.biasList()->currentText(), QString("X"));
}

void TestLfa::burstDrawnAtDisplayPace_data()
{
    // The LFA and WRx plots share the display pace; message i of a burst into the plot of a shown tab.
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("plot");
    QTest::newRow("LFA oscilloscope") << int(Tab::Lfa) << "lfaOsc";
    QTest::newRow("LFA spectrum") << int(Tab::Lfa) << "lfaSpec";
    QTest::newRow("WRx spectrum") << int(Tab::Wrx) << "rxSpectrum";
    QTest::newRow("WRx oscilloscope") << int(Tab::Wrx) << "rxOscilloscope";
}

void TestLfa::burstDrawnAtDisplayPace()
{
    QFETCH(int, tab);
    QFETCH(QString, plot);
    WindowRig r;
    r.w->resize(1280, 800);
    r.w->show();
    QVERIFY(QTest::qWaitForWindowExposed(r.w.get()));
    r.ui()->tabWidget->setCurrentIndex(tab);
    r.select(1);
    QTest::qWait(3 * DisplayRefresh::IntervalMs);

    const auto message = [&plot](int i) {
        if (plot == "lfaOsc")
            return oscFrame(quint16(100 + i), 1, quint8(60 + i));
        if (plot == "lfaSpec")
            return spectrumBlock(quint8(i % 2), quint8(40 + i));
        QByteArray p(plot == "rxSpectrum" ? 105 : 194, char(40 + i));
        p[0] = 'C';
        p[1] = plot == "rxSpectrum" ? 0 : 3;
        if (plot == "rxSpectrum") {
            p[2] = char(i % 3);
            p[3] = p[4] = 0; // measured with Diff off and gain 0
        }
        return p;
    };
    QwtPlot* const plots[] = {r.osc().oscPlot(), r.osc().specPlot(),
                              r.w->rx()->findChild<QwtPlot*>("rxSpectrum"),
                              r.w->rx()->findChild<QwtPlot*>("rxOscilloscope")};
    const QStringList names{"lfaOsc", "lfaSpec", "rxSpectrum", "rxOscilloscope"};
    QwtPlot* shown = plots[names.indexOf(plot)];
    QVERIFY(shown && shown->isVisible());
    PaintWatch watch(shown->canvas());

    // Each message through the receive path, and the event loop after each, as the link delivers them.
    constexpr int Burst = 60;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Burst; ++i) {
        r.port->pushPayload(message(i));
        ++watch.fed;
        QCoreApplication::processEvents();
    }
    const int bound = 1 + int(clock.elapsed() / DisplayRefresh::IntervalMs);
    QVERIFY2(watch.paints <= bound, qPrintable(QString("%1 paints, at most %2").arg(watch.paints).arg(bound)));
    // The last message is drawn, one interval later at the most.
    QTRY_COMPARE_WITH_TIMEOUT(watch.fedAtLastPaint, Burst, 10 * DisplayRefresh::IntervalMs);
    QVERIFY(watch.paints <= bound + 1);
}

void TestLfa::hiddenViewDrawnWhenShown()
{
    QWidget view;
    int redraws = 0;
    DisplayRefresh refresh(&view, [&redraws] { ++redraws; });
    for (int i = 0; i < 5; ++i)
        refresh.request();
    QTest::qWait(3 * DisplayRefresh::IntervalMs);
    QCOMPARE(redraws, 0);
    view.show();
    QCOMPARE(redraws, 1); // what changed while hidden, drawn with the show
    QTest::qWait(3 * DisplayRefresh::IntervalMs);
    QCOMPARE(redraws, 1);
}

void TestLfa::bandedFillLooksLikeOneFill_data()
{
    QTest::addColumn<QTransform>("transform");
    QTest::newRow("widget offset") << QTransform::fromTranslate(7, 3);
    QTest::newRow("fractional offset") << QTransform::fromTranslate(10.37, 2.5);
    QTest::newRow("scaled") << QTransform::fromScale(1.5, 1.5);
}

// A spiky spectrum filled in bands and in one piece: the same picture, no seam at the band edges.
void TestLfa::bandedFillLooksLikeOneFill()
{
    QFETCH(QTransform, transform);
    const auto render = [&transform](QwtPlotCurve& curve) {
        QVector<QPointF> points;
        for (int i = 0; i <= Lfa::SpectrumBins; ++i)
            points << QPointF(Lfa::spectrumHz(i), 30 + (i * 37 % 23) * 3.1 + (i % 7 == 0 ? 40 : 0));
        curve.setSamples(points);
        curve.setBrush(Qt::green);
        curve.setPen(QPen(Qt::NoPen));
        curve.setBaseline(-40);
        curve.setRenderHint(QwtPlotItem::RenderAntialiased);
        const QRectF canvas(0, 0, 1000, 300);
        QwtScaleMap x, y;
        x.setScaleInterval(0, Lfa::SpectrumTopHz);
        x.setPaintInterval(canvas.left(), canvas.right());
        y.setScaleInterval(30, 130);
        y.setPaintInterval(canvas.bottom(), canvas.top());
        QImage img(1600, 500, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        p.setTransform(transform);
        p.setRenderHint(QPainter::Antialiasing);
        curve.draw(&p, x, y, canvas);
        return img;
    };
    QwtPlotCurve whole;
    BandFillCurve banded;
    const QImage a = render(whole), b = render(banded);
    int differing = 0, worst = 0;
    for (int row = 0; row < a.height(); ++row)
        for (int col = 0; col < a.width(); ++col) {
            const int d = qAbs(qGreen(a.pixel(col, row)) - qGreen(b.pixel(col, row)));
            differing += d > 0;
            worst = qMax(worst, d);
        }
    QVERIFY2(worst <= 2, qPrintable(QString("%1 pixels differ, by up to %2").arg(differing).arg(worst)));
}

QTEST_MAIN(TestLfa)
#include "tst_lfa.moc"
