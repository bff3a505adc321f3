// Construction, layout and texts of the LFA widget.
#include "osc.h"

#include "modes/lfa/arrowlist.h"
#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/myplotpicker.h"
#include "modes/lfa/plotstyle.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_textlabel.h>

namespace
{
constexpr double FillBaseline = -40;
constexpr int LeftExtent = 50;
} // namespace

OSC::OSC(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_spec.fill(Lfa::NoLevel);
    m_peak.fill(Lfa::NoLevel);
    for (int i = 0; i <= Lfa::SpectrumBins; ++i)
        m_specX[std::size_t(i)] = Lfa::spectrumHz(i);

    buildOscilloscope();
    buildSpectrum();
    QLayout* controls = buildControls();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetMaximumSize);
    column->addWidget(m_oscPlot, 18);
    column->addLayout(controls, 2);
    column->addWidget(m_specPlot, 14);
}

void OSC::buildOscilloscope()
{
    m_oscPlot = PlotStyle::makePlot(this, QSize(640, 320), QSize(2000, 1200), LeftExtent);
    m_oscRefresh = new DisplayRefresh(m_oscPlot);
    m_oscTitle = PlotStyle::addTextLabel(m_oscPlot, PlotStyle::titleText(tr("Oscilloscope:"), font()));
    m_vppText = PlotStyle::canvasText(tr("Vpp: 0.0v "), PlotStyle::CaptionBlue, Qt::AlignRight | Qt::AlignTop,
                                      font());
    m_vppLabel = PlotStyle::addTextLabel(m_oscPlot, m_vppText);

    m_oscCurve = PlotStyle::addTraceCurve(m_oscPlot);
    m_oscCurve->setSamples(m_x.data(), m_y.data(), Lfa::SamplesPerFrame);

    m_oscPicker = PlotStyle::addPicker(m_oscPlot, QwtPicker::CrossRubberBand);
}

void OSC::buildSpectrum()
{
    m_specPlot = PlotStyle::makePlot(this, QSize(640, 180), QSize(2000, 1260), LeftExtent);
    m_specRefresh = new DisplayRefresh(m_specPlot, DisplayRefresh::SpectrumIntervalMs);
    m_specTitle = PlotStyle::addTextLabel(m_specPlot, PlotStyle::titleText(tr("Spectrum:"), font()));
    m_specPlot->setAxisScale(QwtPlot::xBottom, 0, Lfa::SpectrumTopHz, 5000);
    m_specPlot->setAxisScale(QwtPlot::yLeft, 30, 130, 10);

    // The current spectrum covers the peak envelope.
    m_specCurve = PlotStyle::addFilledCurve(m_specPlot, Qt::green, FillBaseline);
    m_peakCurve = PlotStyle::addFilledCurve(m_specPlot, Qt::darkRed, FillBaseline);
    m_peakCurve->setZ(m_specCurve->z() - 1);
    showCurves();

    m_specPicker = PlotStyle::addPicker(m_specPlot, QwtPicker::CrossRubberBand);
    m_specPicker->setTextFormat(1, 0, "Hz");
    m_specPicker->setTextFormat(2, 0, "dB");
}

QLayout* OSC::buildControls()
{
    m_timeCtl = makeArrowList(
        this, {tr("10ms"), tr("5ms"), tr("2ms"), tr("1ms"), tr("500us"), tr("200us"), tr("100us")}, 70, true);
    QStringList vdivItems;
    for (int i = 0; i < int(Lfa::VoltsPerDivUv.size()); ++i)
        vdivItems << Lfa::vdivLabel(i, 0);
    m_vdivCtl = makeArrowList(this, vdivItems, 70, true);
    m_gainCtl = makeArrowList(
        this, {tr("0dB"), tr("5dB"), tr("10dB"), tr("20dB"), tr("30dB"), tr("40dB"), tr("50dB"), tr("60dB")},
        70, true);
    m_biasCtl = makeArrowList(this, biasLabels(false), 70, true);
    m_polarity = makeArrowButton(this, ":/img/Create.png");
    m_polarity->setCheckable(true);
    m_biasCtl.box->insertWidget(1, m_polarity);
    nameControls();
    m_timeCtl.list->setCurrentIndex(3);
    m_vdivCtl.list->setCurrentIndex(1);

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setContentsMargins(1, 3, 1, 6);
    grid->setAlignment(Qt::AlignCenter);
    const ArrowList* columns[] = {&m_timeCtl, &m_vdivCtl, &m_gainCtl, &m_biasCtl};
    for (int c = 0; c < 4; ++c) {
        QLabel*& caption = m_captions[std::size_t(c)];
        caption = new QLabel(this);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setStyleSheet(PlotStyle::CaptionSheet);
        grid->addLayout(columns[c]->box, 0, c);
        grid->addWidget(caption, 1, c);
        grid->setColumnStretch(c, 1);
    }
    setCaptions();

    wire(m_timeCtl, &OSC::setTIME);
    setTIME(0);
    wire(m_vdivCtl, &OSC::setVDIV);
    wire(m_gainCtl, &OSC::setKU);
    setKU(0);
    wire(m_biasCtl, &OSC::setBIAS);
    connect(m_polarity, &QPushButton::clicked, this, [this] { setBIAS(0); });
    return grid;
}

// Object names, so that screens and tests can find the controls.
void OSC::nameControls()
{
    const std::pair<const char*, const ArrowList*> controls[] = {
        {"time", &m_timeCtl}, {"vdiv", &m_vdivCtl}, {"gain", &m_gainCtl}, {"bias", &m_biasCtl}};
    for (const auto& [name, c] : controls) {
        c->list->setObjectName(QString(name) + "List");
        c->left->setObjectName(QString(name) + "Left");
        c->right->setObjectName(QString(name) + "Right");
    }
    m_polarity->setObjectName("polarity");
}

void OSC::wire(const ArrowList& a, void (OSC::*logic)(int))
{
    connect(a.left, &QPushButton::clicked, this, [this, logic] { (this->*logic)(-1); });
    connect(a.right, &QPushButton::clicked, this, [this, logic] { (this->*logic)(1); });
    connect(a.list, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, logic] { (this->*logic)(0); });
}

void OSC::setCaptions()
{
    m_captions[0]->setText(tr("Time/div"));
    m_captions[1]->setText(tr("V/div"));
    m_captions[2]->setText(tr("Gain"));
    m_captions[3]->setText(tr("Bias"));
}

void OSC::langOSC()
{
    m_oscTitle->setText(PlotStyle::titleText(tr("Oscilloscope:"), font()));
    m_specTitle->setText(PlotStyle::titleText(tr("Spectrum:"), font()));
    setCaptions();
    // Until a frame brings a value, the caption is the idle text, which relabels too.
    if (!m_vppMeasured) {
        m_vppText.setText(tr("Vpp: 0.0v "), QwtText::PlainText);
        m_vppLabel->setText(m_vppText);
    }
    m_oscRefresh->request();
    m_specRefresh->request();
}

QStringList OSC::biasLabels(bool negative)
{
    if (negative)
        return {tr("0V"), tr("-5V"), tr("-10V"), tr("-15V"), tr("-20V"), tr("-26V")};
    return {tr("0V"), tr("+5V"), tr("+10V"), tr("+15V"), tr("+20V"), tr("+26V")};
}

void OSC::labelBias(bool negative)
{
    const QStringList row = biasLabels(negative);
    for (int i = 0; i < row.size(); ++i)
        m_biasCtl.list->setItemText(i, row.at(i));
}

void OSC::labelGain(bool limited)
{
    const QStringList own{tr("20dB"), tr("30dB"), tr("40dB"), tr("50dB"), tr("60dB")};
    for (int i = 0; i < own.size(); ++i)
        m_gainCtl.list->setItemText(Lfa::FirstLimitedItem + i, limited ? tr("25dB") : own.at(i));
}

QwtText OSC::vppText() const
{
    return m_vppLabel->text();
}
