#include "resources/resources.h"
#include "shell/darkstyle.h"
#include "shell/framelesswindow.h"
#include "shell/restyle.h"
#include "shell/windowdragger.h"

#include <QApplication>
#include <QLabel>
#include <QFontDatabase>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QToolButton>
#include <QtTest>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
QLabel* label(FramelessWindow& shell, const char* name)
{
    return shell.findChild<QLabel*>(name);
}

QToolButton* button(FramelessWindow& shell, const char* name)
{
    return shell.findChild<QToolButton*>(name);
}

bool showsPicture(FramelessWindow& shell, const char* picture)
{
    const QPixmap shown = label(shell, "bat")->pixmap(Qt::ReturnByValue);
    return !shown.isNull() && shown.toImage() == QPixmap(picture).toImage();
}

// The battery picture after one more tick, as its percentage; -1 when it is none of the six.
int tick(FramelessWindow& shell)
{
    shell.typeBat();
    for (int percent : {0, 20, 40, 60, 80, 100})
        if (showsPicture(shell, QString(":/bat/%1.png").arg(percent).toLatin1().constData()))
            return percent;
    return -1;
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButtons buttons, Qt::MouseButton button)
{
    QMouseEvent e(type, local, w->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
} // namespace

class TestShell : public QObject
{
    Q_OBJECT
public:
    // As the program: pictures follow the screen's scale (the ctest tst_shell_scale2 runs at two).
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps); }
private slots:
    void initTestCase() { initKv847Resources(); }
    void titleIconAndForm();
    void batteryPictures();
    void chargingDoesNotFillThePixmapCache();
    void titlePicturesFollowTheScreenScale();
    void maximiseAndRestore();
    void titleBarDragsTheWindow();
    void iconClicksAreReported();
    void darkStyleInstalls();
    void baseStyleOutlivesAProxy();
    void baseStyleDrawsAfterAProxyGoes_data();
    void baseStyleDrawsAfterAProxyGoes();
    void minimiseOfAMaximisedWindowSticks();
};

void TestShell::baseStyleOutlivesAProxy()
{
    auto* first = new DarkStyle;
    QStyle* base = first->baseStyle();
    QVERIFY(base);
    QCOMPARE(base->objectName().toLower(), QString("fusion"));
    delete first;
    DarkStyle second;
    QCOMPARE(second.baseStyle(), base);
    QCOMPARE(second.baseStyle()->objectName().toLower(), QString("fusion"));
}

// The shared base draws through a proxy; the one it uses must still be alive.
void TestShell::baseStyleDrawsAfterAProxyGoes_data()
{
    QTest::addColumn<bool>("newerGoes");
    QTest::newRow("the newer one goes") << true;
    QTest::newRow("the older one goes") << false;
}

void TestShell::baseStyleDrawsAfterAProxyGoes()
{
    QFETCH(bool, newerGoes);
    auto* older = new DarkStyle;
    auto* newer = new DarkStyle;
    DarkStyle* stays = newerGoes ? older : newer;
    const QStyle* gone = newerGoes ? newer : older;
    delete (newerGoes ? newer : older);
    QStyle* base = stays->baseStyle();
    QVERIFY(base->proxy() != gone);
    QCOMPARE(base->proxy(), stays);

    QPushButton button("Paint me");
    button.setStyle(stays);
    button.resize(120, 30);
    QImage shot(button.size(), QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    button.render(&shot);
    QVERIFY(shot.pixelColor(60, 15).alpha() > 0);
    button.setStyle(nullptr);

    // The last one gone: the base still draws by itself.
    delete stays;
    QVERIFY(base->proxy() != stays);
    QStyleOptionButton opt;
    opt.rect = QRect(0, 0, 60, 20);
    opt.palette = QApplication::palette();
    shot.fill(Qt::transparent);
    QPainter p(&shot);
    base->drawControl(QStyle::CE_PushButton, &opt, &p);
    p.end();
    QVERIFY(shot.pixelColor(30, 10).alpha() > 0);
}

// A maximised window minimised from the task bar is both at once and must stay minimised.
void TestShell::minimiseOfAMaximisedWindowSticks()
{
    FramelessWindow shell;
    shell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell));
    button(shell, "maximizeButton")->click();
    QCOMPARE(shell.windowState(), Qt::WindowMaximized);
    shell.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    QVERIFY(shell.windowState() & Qt::WindowMinimized);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QVERIFY(shell.windowState() & Qt::WindowMinimized);
    shell.setWindowState(Qt::WindowMaximized);
    QVERIFY(button(shell, "restoreButton")->isVisibleTo(&shell));
    QCOMPARE(shell.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
}

void TestShell::darkStyleInstalls()
{
    QApplication::setStyle(new DarkStyle);
    // One point above the size the form was laid out for, whatever the desktop's own size.
    QCOMPARE(QApplication::font().pointSize(), DarkStyle::DesignPointSize + 1);
    if (QFontDatabase().hasFamily("Liberation Sans"))
        QCOMPARE(QFontInfo(QApplication::font()).family(), QString("Liberation Sans"));
    QVERIFY(qApp->styleSheet().contains("QTabBar::tab"));

    const QPalette p = QApplication::palette();
    QCOMPARE(p.color(QPalette::Active, QPalette::Window), QColor(53, 53, 53));
    QCOMPARE(p.color(QPalette::Inactive, QPalette::Base), QColor(42, 42, 42));
    QCOMPARE(p.color(QPalette::Disabled, QPalette::Text), QColor(127, 127, 127));
    QCOMPARE(p.color(QPalette::Disabled, QPalette::WindowText), QColor(127, 127, 127));
    QCOMPARE(p.color(QPalette::Active, QPalette::Text), QColor(Qt::white));
    QCOMPARE(p.color(QPalette::Disabled, QPalette::Highlight), QColor(80, 80, 80));
    QCOMPARE(p.color(QPalette::Active, QPalette::Highlight), QColor(42, 130, 218));

    QLabel label("x");
    label.setEnabled(false);
    QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(127, 127, 127));
}

void TestShell::titleIconAndForm()
{
    FramelessWindow shell;
    QVERIFY(shell.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(shell.minimumSize(), QSize(1025, 748));
    QCOMPARE(label(shell, "bat")->minimumSize(), QSize(27, 16));
    QCOMPARE(label(shell, "bat")->maximumSize(), QSize(27, 16));
    QVERIFY(showsPicture(shell, ":/bat/0.png"));
    QVERIFY(shell.findChild<WindowDragger*>("windowTitlebar"));

    shell.setWindowTitle("KV847: connected", "#55ff55");
    QLabel* title = label(shell, "titleText");
    QCOMPARE(title->text(), QString("KV847: connected"));
    QCOMPARE(title->styleSheet(), QString("color: #55ff55"));
    title->ensurePolished();
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor("#55ff55"));

    QPixmap red(32, 32);
    red.fill(Qt::red);
    shell.setWindowIcon(QIcon(red));
    const QPixmap icon = label(shell, "icon")->pixmap(Qt::ReturnByValue);
    QCOMPARE(icon.size(), QSize(16, 16));
    QCOMPARE(icon.toImage().pixelColor(8, 8), QColor(Qt::red));
}

void TestShell::batteryPictures()
{
    FramelessWindow shell;
    // The ticks are driven by hand here.
    for (QTimer* t : shell.findChildren<QTimer*>())
        t->stop();

    shell.setBat(3, false);
    QVERIFY(showsPicture(shell, ":/bat/0.png")); // changes only at the tick
    QCOMPARE(tick(shell), 60);
    label(shell, "bat")->clear();
    QCOMPARE(tick(shell), -1); // unchanged and not charging: nothing is redrawn
    QCOMPARE(tick(shell), -1);

    shell.setBat(5, false);
    QCOMPARE(tick(shell), 100);
    shell.setBat(7, false);
    QCOMPARE(tick(shell), 100); // no picture for 7
    shell.setBat(0, false);
    QCOMPARE(tick(shell), 0);

    shell.setBat(3, true);
    QList<int> seen;
    for (int i = 0; i < 9; ++i)
        seen << tick(shell);
    QCOMPARE(seen, (QList<int>{20, 40, 60, 80, 100, 60, 80, 100, 60}));

    shell.setBat(5, true);
    seen.clear();
    for (int i = 0; i < 5; ++i)
        seen << tick(shell);
    QCOMPARE(seen, (QList<int>{80, 100, 80, 100, 80}));

    // The step is 8-bit: from 255 the next charging step is 0.
    shell.setBat(255, false);
    QCOMPARE(tick(shell), 80);
    shell.setBat(255, true);
    QCOMPARE(tick(shell), 0);
}

// Scaled by two, the title bar's pictures fill every device pixel of their places (the battery from
// its twice-sized drawings) instead of being the small ones blown up; at scale one the small ones.
void TestShell::titlePicturesFollowTheScreenScale()
{
    const qreal scale = qApp->devicePixelRatio();
    const QString drawing = scale > 1 ? QStringLiteral("%1@2x.png") : QStringLiteral("%1.png");
    const auto same = [](const QPixmap& shown, const QString& file) {
        return shown.toImage().convertToFormat(QImage::Format_ARGB32) ==
               QImage(file).convertToFormat(QImage::Format_ARGB32);
    };
    FramelessWindow shell;
    for (QTimer* t : shell.findChildren<QTimer*>())
        t->stop();
    shell.setWindowIcon(QIcon(":/img/on.png"));
    const QPixmap icon = label(shell, "icon")->pixmap(Qt::ReturnByValue);
    QCOMPARE(icon.devicePixelRatio(), scale);
    QCOMPARE(icon.size(), QSize(16, 16) * scale); // every device pixel drawn, from a 32-pixel drawing

    for (int level : {0, 3, 5}) {
        if (level) {
            shell.setBat(quint8(level), false);
            shell.typeBat();
        }
        const QPixmap bat = label(shell, "bat")->pixmap(Qt::ReturnByValue);
        QCOMPARE(bat.devicePixelRatio(), scale);
        QCOMPARE(bat.size() / scale, label(shell, "bat")->maximumSize());
        QVERIFY2(same(bat, drawing.arg(QStringLiteral(":/bat/%1").arg(level * 20))), qPrintable(QString::number(level)));
    }
}

namespace
{
struct StyleChanges : QObject {
    explicit StyleChanges(QObject* watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        count += e->type() == QEvent::StyleChange;
        return false;
    }
    int count = 0;
};
} // namespace

void TestShell::maximiseAndRestore()
{
    FramelessWindow shell;
    shell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell));
    QWidget* content = shell.findChild<QWidget*>("windowContent");
    QWidget* titlebar = shell.findChild<QWidget*>("windowTitlebar");
    QToolButton* maximize = button(shell, "maximizeButton");
    QToolButton* restore = button(shell, "restoreButton");
    QVERIFY(maximize->isVisible());
    QVERIFY(!restore->isVisible());

    // The title bar as drawn: its colour inside, and whether its top-left corner is rounded off.
    const auto titlebarLooks = [&](const QColor& colour, bool rounded) {
        const QImage shot = shell.grab().toImage();
        const QPoint origin = titlebar->mapTo(&shell, QPoint(0, 0));
        const QColor inside = shot.pixelColor(origin + QPoint(titlebar->width() / 2, 1));
        const QColor corner = shot.pixelColor(origin);
        if (inside.rgb() != colour.rgb() || (corner.rgb() == inside.rgb()) == rounded) {
            qWarning() << "title bar" << inside << "corner" << corner << "wanted" << colour << rounded;
            return false;
        }
        return true;
    };
    const QColor activeBar = shell.palette().color(QPalette::Shadow);
    const QColor inactiveBar = shell.palette().color(QPalette::Dark);
    QVERIFY(activeBar != inactiveBar);
    QVERIFY(titlebarLooks(activeBar, true));

    QList<QSize> reported, actual;
    connect(&shell, &FramelessWindow::winRez, &shell, [&](QSize size) {
        reported << size;
        actual << content->size();
    });

    maximize->click();
    QVERIFY(shell.windowState() & Qt::WindowMaximized);
    QVERIFY(restore->isVisible());
    QVERIFY(!maximize->isVisible());
    QCOMPARE(shell.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    QVERIFY(titlebarLooks(activeBar, false));
    QVERIFY(!reported.isEmpty());
    QCOMPARE(reported, actual);

    // Focus lost while maximised: dark title bar, square corners stay.
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QVERIFY(titlebarLooks(inactiveBar, false));
    // Only the frame and its title bar are styled anew: the content keeps its style.
    StyleChanges restyled(button(shell, "closeButton"));
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    QVERIFY(titlebarLooks(activeBar, false));
    QCOMPARE(restyled.count, 0);
    // A sheet set again with the same text does not re-style what is inside either.
    QWidget* title = shell.findChild<QWidget*>("titleText");
    StyleChanges titleRestyled(title);
    restyle(title, title->styleSheet());
    QCOMPARE(titleRestyled.count, 0);
    restyle(title, "color: #55ff55");
    QCOMPARE(titleRestyled.count, 1);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);

    restore->click();
    QCOMPARE(shell.windowState(), Qt::WindowNoState);
    QVERIFY(maximize->isVisible());
    QVERIFY(!restore->isVisible());
    QCOMPARE(shell.layout()->contentsMargins(), QMargins(15, 15, 15, 15));
    QVERIFY(titlebarLooks(activeBar, true));
    QVERIFY(reported.size() >= 2);
    QCOMPARE(reported, actual);

    QTest::mouseDClick(titlebar, Qt::LeftButton);
    QVERIFY(shell.windowState() & Qt::WindowMaximized);
    QVERIFY(restore->isVisible());
    QTest::mouseDClick(titlebar, Qt::LeftButton);
    QCOMPARE(shell.windowState(), Qt::WindowNoState);
    QVERIFY(maximize->isVisible());
}

void TestShell::titleBarDragsTheWindow()
{
    FramelessWindow shell;
    shell.move(100, 100);
    shell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell));
    QWidget* titlebar = shell.findChild<QWidget*>("windowTitlebar");
    const QPoint start = shell.pos();
    const QPoint at(200, 8);

    sendMouse(titlebar, QEvent::MouseMove, at + QPoint(40, 0), Qt::NoButton, Qt::NoButton);
    QCOMPARE(shell.pos(), start); // no press, no drag

    sendMouse(titlebar, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    sendMouse(titlebar, QEvent::MouseMove, at + QPoint(30, -10), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(shell.pos(), start + QPoint(30, -10));
    // Release far outside the bar; later moves must not drag.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-500, 900), QPointF(-500, 900), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(titlebar, &release);
    const QPoint dropped = shell.pos();
    sendMouse(titlebar, QEvent::MouseMove, at + QPoint(90, 40), Qt::NoButton, Qt::NoButton);
    QCOMPARE(shell.pos(), dropped);

    // Any button drags.
    sendMouse(titlebar, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    sendMouse(titlebar, QEvent::MouseMove, at + QPoint(-20, 15), Qt::RightButton, Qt::NoButton);
    QCOMPARE(shell.pos(), dropped + QPoint(-20, 15));
}

void TestShell::iconClicksAreReported()
{
    FramelessWindow shell;
    QLabel* icon = label(shell, "icon");
    QSignalSpy left(&shell, &FramelessWindow::windowIconLeftClicked);
    QSignalSpy right(&shell, &FramelessWindow::windowIconRightClicked);
    QSignalSpy dbl(&shell, &FramelessWindow::windowIconDblClick);
    QTest::mouseClick(icon, Qt::RightButton);
    QTest::mouseClick(icon, Qt::RightButton);
    QCOMPARE(right.count(), 2);
    QCOMPARE(left.count(), 0);
    QTest::mouseClick(icon, Qt::LeftButton);
    QTest::mouseClick(icon, Qt::MiddleButton);
    QCOMPARE(left.count(), 1);
    QCOMPARE(right.count(), 2);
    QCOMPARE(dbl.count(), 0);
    QTest::mouseDClick(icon, Qt::LeftButton);
    QCOMPARE(dbl.count(), 1);
}

void TestShell::chargingDoesNotFillThePixmapCache()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    FramelessWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setBat(1, true);
    const auto heapKb = [] {
        const struct mallinfo2 m = mallinfo2();
        return qint64((m.uordblks + m.hblkhd) / 1024);
    };
    for (int i = 0; i < 20; ++i)
        w.typeBat();
    const qint64 before = heapKb();
    // The charging animation, as a day of charging shows it: each picture again and again.
    for (int i = 0; i < 3000; ++i)
        w.typeBat();
    QVERIFY2(heapKb() - before < 200, qPrintable(QStringLiteral("%1 kB more").arg(heapKb() - before)));
#else
    QSKIP("needs glibc's allocator counts");
#endif
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
