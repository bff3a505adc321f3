// Construction, layout and texts of the WRx widget.
#include "rx.h"

#include "modes/lfa/arrowlist.h"
#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/myplotpicker.h"
#include "modes/lfa/plotstyle.h"
#include "modes/wrx/fitfont.h"
#include "pairs/myitemdelegate.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTableWidget>
#include <QVBoxLayout>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_textlabel.h>

namespace
{
constexpr int LeftExtent = 40;

QPushButton* makeToggle(QWidget* parent, int maxWidth)
{
    auto* b = new QPushButton(parent);
    b->setCheckable(true);
    b->setMaximumWidth(maxWidth);
    b->setStyleSheet(PlotStyle::AccentSheet);
    return b;
}
void fitFont(QWidget* w, const QStringList& texts, int room)
{
    w->setFont(Wrx::fittingFont(w->font(), texts, room));
}

void fitList(QComboBox* list, int maxWidth)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    // The drop-down button and the frame take about 26 pixels.
    fitFont(list, texts, maxWidth - 26);
    if (list->lineEdit())
        list->lineEdit()->setFont(list->font());
}
} // namespace

RX::RX(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_traces.clear();

    buildSpectrum();
    buildTable();
    m_bar = new QWidget(this);
    m_bar->setObjectName("levelBar");
    m_bar->setMinimumSize(30, 200);
    m_bar->setMaximumSize(60, 1500);
    m_bar->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    m_barRefresh = new DisplayRefresh(m_bar, [this] { update(m_bar->geometry()); });

    m_stack = new QStackedLayout;
    m_stack->addWidget(m_specPlot);
    m_stack->addWidget(m_table);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addLayout(m_stack, 95);
    top->addWidget(m_bar, 4);

    QLayout* controls = buildControls();
    buildOscilloscope();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(top, 18);
    column->addLayout(controls, 2);
    column->addWidget(m_oscPlot, 14);
    // The Time/div and demodulation lists float over the oscilloscope.
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_timeCtl.left, m_timeCtl.list, m_timeCtl.right, m_demodList})
        w->raise();

    FindTab();
    setMARK(30);
    setTime(0);
    setGain(0);
    setStep(0);
    setDiff();
    setSearch();
}

void RX::setOwner(const Owner& owner)
{
    m_owner = owner;
    FindTab();
}

void RX::buildSpectrum()
{
    m_specPlot = PlotStyle::makePlot(this, QSize(690, 320), QSize(2000, 1200), LeftExtent);
    m_specPlot->setObjectName("rxSpectrum");
    m_specRefresh = new DisplayRefresh(m_specPlot, DisplayRefresh::SpectrumIntervalMs);
    m_specTitle = PlotStyle::addTextLabel(m_specPlot, PlotStyle::titleText(tr("Spectrum:"), font()));
    m_specPlot->setAxisScale(QwtPlot::yLeft, 0, 60, 10);
    m_specPlot->setAxisScale(QwtPlot::xBottom, 0, 60, 6);

    m_specCurve = PlotStyle::addFilledCurve(m_specPlot, Qt::green, 0);
    m_peakCurve = PlotStyle::addFilledCurve(m_specPlot, Qt::darkRed, 0);
    m_peakCurve->setZ(m_specCurve->z() - 1);
    m_specCurve->setRawSamples(m_traces.freq(), m_traces.spectrum(), Wrx::ClearedPoints);
    m_peakCurve->setRawSamples(m_traces.freq(), m_traces.peak(), Wrx::ClearedPoints);

    m_markerLine = new QwtPlotMarker;
    m_markerLine->setLineStyle(QwtPlotMarker::VLine);
    m_markerLine->setLinePen(QColor(65, 160, 255), 1, Qt::SolidLine);
    m_markerLine->attach(m_specPlot);

    m_specPicker = PlotStyle::addPicker(m_specPlot, QwtPicker::NoRubberBand);
    m_specPicker->setTextFormat(1, 2, " MHz");
    m_specPicker->setTextFormat(2, 0, "dB");
    connect(m_specPicker, SIGNAL(selected(QPointF)), this, SLOT(moveMARK(QPointF)));
}

void RX::buildOscilloscope()
{
    m_oscPlot = PlotStyle::makePlot(this, QSize(640, 0), QSize(2000, 1250), LeftExtent);
    m_oscPlot->setObjectName("rxOscilloscope");
    m_oscRefresh = new DisplayRefresh(m_oscPlot);
    m_oscTitle = PlotStyle::addTextLabel(m_oscPlot, PlotStyle::titleText(tr("Oscilloscope:"), font()));
    m_oscPlot->setAxisScale(QwtPlot::yLeft, 0, 60, 10);
    m_oscCurve = PlotStyle::addTraceCurve(m_oscPlot);
    m_oscCurve->setRawSamples(m_oscX.data(), m_traces.oscY(), Wrx::OscSamples);
    m_oscPicker = PlotStyle::addPicker(m_oscPlot, QwtPicker::CrossRubberBand);
    m_oscPicker->setTextFormat(2, 0, "dB");
    connect(m_oscPicker, SIGNAL(selected(QPointF)), this, SLOT(oscClick(QPointF)));

    m_timeCtl = makeArrowList(
        this, {tr("10ms"), tr("5ms"), tr("2ms"), tr("1ms"), tr("500us"), tr("200us"), tr("100us")}, 70,
        false);
    m_timeCtl.list->setCurrentIndex(3);
    m_demodList = makeValueList(this, {tr("AM"), tr("FM")}, 50);
    m_timeCtl.list->setObjectName("timeList");
    m_timeCtl.left->setObjectName("timeLeft");
    m_timeCtl.right->setObjectName("timeRight");
    m_demodList->setObjectName("demodList");
    fitList(m_timeCtl.list, 70);
    fitList(m_demodList, 50);
    // Placed by paintEvent, not by a layout.
    delete m_timeCtl.box;
    m_timeCtl.box = nullptr;
    wire(m_timeCtl, &RX::setTime);
    connect(m_demodList, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { setDemod(0); });
}

void RX::buildTable()
{
    m_table = new QTableWidget(this);
    m_table->setObjectName("signalTable");
    m_table->setItemDelegate(new MyItemDelegate(m_table));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setDropIndicatorShown(false);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setGridStyle(Qt::SolidLine);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setMinimumSectionSize(10);
    m_table->verticalHeader()->setMinimumSectionSize(10);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setMaximumWidth(1980);
    m_table->setMinimumWidth(680);
    connect(m_table, SIGNAL(cellPressed(int, int)), this, SLOT(tabClick(int, int)));
    connect(m_table, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(tabDblClick(int, int)));
}

QLayout* RX::buildControls()
{
    m_rangeList = makeValueList(this, {tr("0.1 - 60 MHz"), tr("0.1 - 180 MHz")}, 110);
    m_gainCtl = makeArrowList(this, {tr("ATT"), tr("x1"), tr("x2"), tr("x4")}, 70, false);
    m_stepCtl = makeArrowList(this, {tr("-"), tr("200 kHz"), tr("100 kHz"), tr("50 kHz")}, 75, false);
    m_stepCtl.list->setCurrentIndex(1);

    auto* markBox = new QHBoxLayout;
    markBox->setContentsMargins(0, 5, 0, 2);
    markBox->setSpacing(0);
    m_markLeft = makeArrowButton(this, ":/img/img_left.png");
    m_markEdit = new QLineEdit(this);
    m_markEdit->setReadOnly(true);
    m_markEdit->setAlignment(Qt::AlignCenter);
    m_markEdit->setStyleSheet(PlotStyle::AccentSheet);
    m_markEdit->setMaximumWidth(80);
    m_markRight = makeArrowButton(this, ":/img/img_right.png");
    markBox->addWidget(m_markLeft);
    markBox->addWidget(m_markEdit);
    markBox->addWidget(m_markRight);

    fitList(m_rangeList, 110);
    fitList(m_gainCtl.list, 70);
    fitList(m_stepCtl.list, 75);
    fitFont(m_markEdit, {QStringLiteral(" 180.000 MHz")}, 80 - 8);

    m_mainsBtn = makeToggle(this, 110);
    m_search = makeToggle(this, 90);
    m_diffBtn = makeToggle(this, 90);
    nameControls();

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setContentsMargins(2, 2, 2, 10);
    grid->addWidget(m_rangeList, 0, 0);
    grid->addLayout(m_gainCtl.box, 0, 1);
    grid->addLayout(m_stepCtl.box, 0, 2);
    grid->addLayout(markBox, 0, 3);
    grid->addWidget(m_search, 0, 4);
    grid->addWidget(m_mainsBtn, 1, 0);
    for (int c = 0; c < 3; ++c) {
        QLabel*& caption = m_captions[std::size_t(c)];
        caption = new QLabel(this);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setStyleSheet(PlotStyle::CaptionSheet);
        grid->addWidget(caption, 1, c + 1);
    }
    grid->addWidget(m_diffBtn, 1, 4);
    setCaptions();

    connect(m_rangeList, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { setRange(0); });
    wire(m_gainCtl, &RX::setGain);
    wire(m_stepCtl, &RX::setStep);
    connect(m_markLeft, &QPushButton::clicked, this, [this] { shiftMARK(-1); });
    connect(m_markRight, &QPushButton::clicked, this, [this] { shiftMARK(1); });
    connect(m_mainsBtn, &QPushButton::clicked, this, [this] { setMains(); });
    connect(m_diffBtn, &QPushButton::clicked, this, [this] { setDiff(); });
    connect(m_search, &QPushButton::clicked, this, [this] { setSearch(); });
    return grid;
}

// Object names, so that screens and tests can find the controls.
void RX::nameControls()
{
    m_rangeList->setObjectName("rangeList");
    const std::pair<const char*, const ArrowList*> lists[] = {{"gain", &m_gainCtl}, {"step", &m_stepCtl}};
    for (const auto& [name, c] : lists) {
        c->list->setObjectName(QString(name) + "List");
        c->left->setObjectName(QString(name) + "Left");
        c->right->setObjectName(QString(name) + "Right");
    }
    m_markLeft->setObjectName("markerLeft");
    m_markRight->setObjectName("markerRight");
    m_markEdit->setObjectName("markerEdit");
    m_mainsBtn->setObjectName("mains");
    m_search->setObjectName("search");
    m_diffBtn->setObjectName("diff");
}

void RX::wire(const ArrowList& a, void (RX::*logic)(int))
{
    connect(a.left, &QPushButton::clicked, this, [this, logic] { (this->*logic)(-1); });
    connect(a.right, &QPushButton::clicked, this, [this, logic] { (this->*logic)(1); });
    connect(a.list, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, logic] { (this->*logic)(0); });
}

void RX::setCaptions()
{
    m_mainsBtn->setText(tr("Mains"));
    m_captions[0]->setText(tr("Gain"));
    m_captions[1]->setText(tr("Step"));
    m_captions[2]->setText(tr("Marker"));
    m_search->setText(tr("Search"));
    m_diffBtn->setText(tr("Diff"));
}

void RX::langRX()
{
    m_specTitle->setText(PlotStyle::titleText(tr("Spectrum:"), font()));
    m_oscTitle->setText(PlotStyle::titleText(tr("Oscilloscope:"), font()));
    setCaptions();
    m_specRefresh->request();
    m_oscRefresh->request();
    FindTab();
}

Wrx::CommandState RX::commandState() const
{
    Wrx::CommandState s;
    s.gain = m_gain;
    s.diff = m_diff;
    s.marker = m_marker;
    s.range = m_range != 0;
    s.mains = m_mains;
    s.step = m_step;
    return s;
}

QWidget* RX::spectrumPlot() const
{
    return m_specPlot;
}

QWidget* RX::oscPlot() const
{
    return m_oscPlot;
}

QString RX::rangeText() const
{
    return m_rangeList->currentText();
}

QString RX::gainText() const
{
    return m_gainCtl.list->currentText();
}

QString RX::stepText() const
{
    return m_stepCtl.list->currentText();
}

QString RX::freqText() const
{
    return m_markEdit->text();
}

QString RX::demodText() const
{
    return m_demodList->currentText();
}

QString RX::timeText() const
{
    return m_timeCtl.list->currentText();
}
