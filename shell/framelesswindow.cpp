#include "shell/framelesswindow.h"

#include "shell/mousebuttonsignaler.h"
#include "shell/restyle.h"
#include "shell/sharedicon.h"
#include "ui_framelesswindow.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QSysInfo>

namespace
{
QGraphicsDropShadowEffect* dropShadow(qreal blur, const QColor& colour)
{
    auto* effect = new QGraphicsDropShadowEffect;
    effect->setBlurRadius(blur);
    effect->setColor(colour);
    effect->setOffset(0, 0);
    return effect;
}

// Every state of the frame in one sheet each, chosen by the frameState property: a new sheet on the
// frame would re-style everything inside the window, and the state changes with every focus change.
const char* const kTitlebarStyle =
    "#windowTitlebar{border: 0px none palette(shadow); border-top-left-radius:5px; "
    "border-top-right-radius:5px; background-color:palette(shadow); height:20px;}"
    "#windowTitlebar[frameState=\"inactive\"]{background-color:palette(dark);}"
    "#windowTitlebar[frameState=\"activeMaximised\"]{border-top-left-radius:0px; border-top-right-radius:0px;}"
    "#windowTitlebar[frameState=\"inactiveMaximised\"]{border-top-left-radius:0px; "
    "border-top-right-radius:0px; background-color:palette(dark);}";
const char* const kFrameStyle =
    "#windowFrame{border:1px solid palette(highlight); border-radius:5px; background-color:palette(Window);}"
    "#windowFrame[frameState=\"inactive\"]{border-color:#000000;}"
    "#windowFrame[frameState=\"activeMaximised\"]{border-color:palette(dark); border-radius:0px;}"
    "#windowFrame[frameState=\"inactiveMaximised\"]{border-color:palette(shadow); border-radius:0px;}";
} // namespace

FramelessWindow::FramelessWindow(QWidget* parent)
    : QWidget(parent), m_batTimer(this), ui(new Ui::FramelessWindow)
{
    ui->setupUi(this);

    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->restoreButton->setVisible(false);
    ui->windowTitlebar->setStyleSheet(QString::fromLatin1(kTitlebarStyle));
    ui->windowFrame->setStyleSheet(QString::fromLatin1(kFrameStyle));
    showBat(0); // the form's own picture knows only one size

    // Older Windows desktops (7 and before) cannot compose the shadows.
    bool versionOk = false;
    const int version = QSysInfo::productVersion().toInt(&versionOk);
    if (QSysInfo::productType().toLower() != QLatin1String("windows") || (versionOk ? version : 0) > 7) {
        ui->titleText->setGraphicsEffect(dropShadow(4, QColor(0, 0, 0, 255)));
        m_glowAllowed = true;
        m_glow.setColour(palette().color(QPalette::Highlight));
    }

    auto* signaler = new MouseButtonSignaler(this);
    ui->icon->installEventFilter(signaler);
    connect(signaler, &MouseButtonSignaler::mouseButtonEvent, this, [this](QWidget*, QMouseEvent* event) {
        if (event->type() == QEvent::MouseButtonPress) {
            if (event->button() == Qt::LeftButton)
                emit windowIconLeftClicked();
            else if (event->button() == Qt::RightButton)
                emit windowIconRightClicked();
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            emit windowIconDblClick();
        }
    });

    connect(qApp, &QGuiApplication::applicationStateChanged, this, &FramelessWindow::on_applicationStateChanged);
    connect(&m_batTimer, &QTimer::timeout, this, &FramelessWindow::typeBat);
    m_batTimer.setInterval(500);
    m_batTimer.start();
}

FramelessWindow::~FramelessWindow()
{
    m_batTimer.stop();
    // The content may still signal the shell while it goes; let it go while the shell is whole.
    while (QLayoutItem* item = m_contentLayout.takeAt(0)) {
        delete item->widget();
        delete item;
    }
    delete ui;
}

void FramelessWindow::embedContent(QWidget* w)
{
    m_contentLayout.setMargin(0);
    m_contentLayout.addWidget(w);
    ui->windowContent->setLayout(&m_contentLayout);
}

void FramelessWindow::setWindowTitle(QString text, QString col)
{
    ui->titleText->setText(text);
    restyle(ui->titleText, "color: " + col);
}

void FramelessWindow::setWindowIcon(QIcon ico)
{
    ui->icon->setPixmap(ico.pixmap(16, 16, QIcon::Normal, QIcon::Off));
}

void FramelessWindow::setBat(uchar bat, bool charge)
{
    m_bat = bat;
    m_charge = charge;
}

void FramelessWindow::showBat(quint8 level)
{
    static const char* const pictures[] = {":/bat/0.png", ":/bat/20.png", ":/bat/40.png",
                                           ":/bat/60.png", ":/bat/80.png", ":/bat/100.png"};
    if (level > 5)
        return;
    // Through QIcon, which adds the name@2x.png drawing on a screen scaled by two (a QPixmap loaded by
    // name never does), drawn at the size of the battery's place.
    const QIcon picture = sharedIcon(QString::fromLatin1(pictures[level]));
    ui->bat->setPixmap(picture.pixmap(windowHandle(), ui->bat->maximumSize()));
}

void FramelessWindow::typeBat()
{
    // Shared across calls for the whole run.
    static quint8 shownLevel = 0;
    static quint8 step = 0;

    if (m_bat != shownLevel) {
        shownLevel = m_bat;
        if (!m_charge) {
            step = m_bat;
            showBat(step);
            return;
        }
    } else if (!m_charge) {
        return;
    }

    // Charging: climb from the level to full, then start again at the level.
    const quint8 next = quint8(step + 1);
    if (next == 6) {
        step = m_bat == 5 ? 4 : m_bat;
    } else {
        step = next;
    }
    showBat(step);
}

void FramelessWindow::applyFrameStyle(bool active, bool normal)
{
    ui->verticalLayout_2->setMargin(normal ? 15 : 0);
    const char* const state = active ? (normal ? "active" : "activeMaximised") : (normal ? "inactive" : "inactiveMaximised");
    for (QWidget* w : {static_cast<QWidget*>(ui->windowTitlebar), ui->windowFrame}) {
        if (w->property("frameState").toString() == QLatin1String(state))
            continue;
        w->setProperty("frameState", QString::fromLatin1(state));
        // Only this widget takes the rule of its new state; what is inside keeps its style.
        w->style()->unpolish(w);
        w->style()->polish(w);
        w->update();
    }

    // The glow is painted by the shell behind the frame; an effect on the frame would blur it
    // again for every repaint of anything inside.
    if (m_glowAllowed) {
        m_glow.setColour(normal ? palette().color(active ? QPalette::Highlight : QPalette::Shadow) : QColor());
        m_glowOutlineStale = true;
        remakeGlowLater();
    }
}

void FramelessWindow::remakeGlowLater()
{
    if (!m_glow.isOn() || m_glowPending)
        return;
    // After the layout has settled, and never from inside a paint.
    m_glowPending = true;
    QTimer::singleShot(0, this, [this] {
        m_glowPending = false;
        const QSize frame = ui->windowFrame->size();
        if (!m_glow.isOn() || frame.isEmpty() || (m_glow.isMadeFor(frame) && !m_glowOutlineStale))
            return;
        // What glows is the frame's shape as it is drawn, with its children.
        QImage outline(frame, QImage::Format_ARGB32_Premultiplied);
        outline.fill(Qt::transparent);
        ui->windowFrame->render(&outline, QPoint(), QRegion(), QWidget::DrawChildren);
        m_glow.make(outline);
        m_glowOutlineStale = false;
        update();
    });
}

void FramelessWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    remakeGlowLater();
}

void FramelessWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    remakeGlowLater();
}

void FramelessWindow::paintEvent(QPaintEvent* event)
{
    if (!m_glow.isOn())
        return;
    QPainter p(this);
    m_glow.paint(p, ui->windowFrame->geometry(), event->rect());
}

void FramelessWindow::on_applicationStateChanged(Qt::ApplicationState state)
{
    // Minimised (also when it was maximised before) is left alone.
    if (windowState() == Qt::WindowNoState)
        applyFrameStyle(state == Qt::ApplicationActive, true);
    else if (windowState() == Qt::WindowMaximized)
        applyFrameStyle(state == Qt::ApplicationActive, false);
}

void FramelessWindow::on_minimizeButton_clicked()
{
    setWindowState(Qt::WindowMinimized);
}

void FramelessWindow::on_maximizeButton_clicked()
{
    ui->verticalLayout_2->setMargin(0);
    ui->restoreButton->setVisible(true);
    ui->maximizeButton->setVisible(false);
    setWindowState(Qt::WindowMaximized);
    applyFrameStyle(true, false);
}

void FramelessWindow::on_restoreButton_clicked()
{
    ui->verticalLayout_2->setMargin(15);
    ui->restoreButton->setVisible(false);
    ui->maximizeButton->setVisible(true);
    setWindowState(Qt::WindowNoState);
    applyFrameStyle(true, true);
}

void FramelessWindow::on_closeButton_clicked()
{
    close();
}

void FramelessWindow::on_windowTitlebar_doubleClicked()
{
    if (windowState() == Qt::WindowNoState)
        on_maximizeButton_clicked();
    else if (windowState() == Qt::WindowMaximized)
        on_restoreButton_clicked();
}

void FramelessWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        emit winRez(ui->windowContent->size());
        // A maximised window minimised from the task bar is maximised and minimised at once: restyling
        // it as maximised would also bring it back.
        if (windowState() == Qt::WindowNoState)
            on_restoreButton_clicked();
        else if (windowState() == Qt::WindowMaximized)
            on_maximizeButton_clicked();
    }
    event->accept();
}
