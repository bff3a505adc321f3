// The window as start-up composes it (shell, main window, dark style): what a repaint touches, the
// frame's glow, and whether every text fits its room.
#include "app/scriptedprompts.h"
#include "app/shellstart.h"
#include "fakeport.h"
#include "modes/lfa/displayrefresh.h"
#include "modes/lfa/osc.h"
#include "shell/darkstyle.h"
#include "textfit.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <qwt_plot.h>

#include <memory>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
// Counts the paint events every widget receives.
class PaintCounter : public QObject
{
public:
    QHash<const QObject*, int> paints;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
    // Widgets painted other than the allowed ones, their children, and the backgrounds of the main
    // window they are drawn over (not opaque, those are painted beneath them, clipped to them).
    QStringList paintedOutside(const QList<const QWidget*>& allowed, const QWidget* window) const
    {
        QStringList out;
        for (auto it = paints.begin(); it != paints.end(); ++it) {
            const auto* painted = qobject_cast<const QWidget*>(it.key());
            bool inside = false;
            for (const QWidget* w : allowed)
                inside = inside || painted == w || w->isAncestorOf(painted) ||
                         (painted && painted->isAncestorOf(w) && (painted == window || window->isAncestorOf(painted)));
            if (!inside)
                out << QString::fromLatin1(it.key()->metaObject()->className()) + " " + it.key()->objectName();
        }
        return out;
    }
};

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(5);
    }
}

QByteArray voltages(quint16 acHundredths)
{
    QByteArray v("V\x10\x00\x00\x00\x01\x02\x00\x00\x00\x00\x00\x00", 13);
    v[3] = char(acHundredths & 0xFF);
    v[4] = char(acHundredths >> 8);
    return v;
}

QByteArray oscFrame(quint16 vpp)
{
    QByteArray p(197, char(110));
    p[0] = 'M';
    p[1] = 0;
    p[2] = char(vpp & 0xFF);
    p[3] = char(vpp >> 8);
    p[4] = 1;
    for (int i = 0; i < 192; i += 2)
        p[5 + i] = char(130);
    return p;
}

// The program as start-up builds it, on a scripted port, connected.
struct ShellRig {
    FakePort* port = new FakePort;
    ScriptedPrompts prompts;
    FramelessWindow shell;
    MainWindow* w = new MainWindow(nullptr, port, &prompts);
    bool exposed = false;

    ShellRig()
    {
        putIntoShell(shell, w);
        shell.show();
        exposed = QTest::qWaitForWindowExposed(&shell);
        w->openSerialPort();
        port->pushPayload(QByteArray("S\x01\x02\x05", 4));
        settle();
    }
    Ui::MainWindow* ui() const { return w->form(); }
};
} // namespace

class TestShellWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(new DarkStyle); }
    void repaintStaysInItsWidget_data();
    void repaintStaysInItsWidget();
    void glowFollowsTheFrame();
    void everyTextFits_data();
    void everyTextFits();
    void restylingDoesNotFillThePixmapCache();
};

void TestShellWindow::repaintStaysInItsWidget_data()
{
    QTest::addColumn<bool>("caption");
    QTest::newRow("pair row") << false;
    QTest::newRow("Vpp caption") << true;
}

void TestShellWindow::repaintStaysInItsWidget()
{
    QFETCH(bool, caption);
    ShellRig rig;
    QVERIFY(rig.exposed);
    rig.ui()->tabWidget->setCurrentIndex(0);
    rig.w->swClick(1, 1);
    rig.port->pushPayload(voltages(100));
    for (int i = 0; i < 8; ++i)
        rig.port->pushPayload(oscFrame(quint16(500 + i)));
    settle();
    // Before the count begins: the window's resize debounce (250 ms) has run and the plots have drawn
    // those frames at the display's pace.
    QTest::qWait(300);

    const QWidget* row = rig.ui()->swTAB->viewport();
    const QWidget* canvas = rig.w->findChild<OSC*>()->oscPlot()->canvas();
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    if (caption) {
        // The caption takes a new value every few frames; each frame also updates the pair's row.
        for (int i = 0; i < 8; ++i)
            rig.port->pushPayload(oscFrame(quint16(900 + i)));
    } else {
        rig.port->pushPayload(voltages(345));
    }
    settle();
    if (caption) // drawn at the display's pace
        QTRY_VERIFY_WITH_TIMEOUT(counter.paints.value(canvas) > 0, 10 * DisplayRefresh::IntervalMs);
    qApp->removeEventFilter(&counter);

    QVERIFY(counter.paints.value(row) > 0);
    QList<const QWidget*> allowed{row};
    if (caption) {
        QVERIFY(counter.paints.value(canvas) > 0);
        allowed << canvas;
    }
    const QStringList outside = counter.paintedOutside(allowed, rig.w);
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join(", ")));
}

void TestShellWindow::glowFollowsTheFrame()
{
    ShellRig rig;
    QVERIFY(rig.exposed);
    QWidget* frame = rig.shell.findChild<QWidget*>("windowFrame");
    const auto glowAt = [&] {
        // Two pixels left of the frame's middle, as the shell draws itself.
        const QImage shot = rig.shell.grab().toImage();
        const QPoint at = frame->geometry().topLeft() + QPoint(-2, frame->height() / 2);
        return shot.rect().contains(at) ? shot.pixelColor(at) : QColor(Qt::transparent);
    };
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    settle();
    const QColor active = glowAt();
    QVERIFY(active.alpha() > 20);
    QVERIFY(active.blue() > active.red() + 40); // the highlight's blue

    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    settle();
    const QColor inactive = glowAt();
    QVERIFY(inactive.alpha() > 20);
    QVERIFY(qAbs(inactive.blue() - inactive.red()) < 10); // the shadow's grey

    rig.shell.findChild<QToolButton*>("maximizeButton")->click();
    settle();
    QCOMPARE(frame->geometry().left(), 0); // nothing beside a maximised frame
    QCOMPARE(rig.shell.layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    rig.shell.findChild<QToolButton*>("restoreButton")->click();
    settle();
    QVERIFY(glowAt().alpha() > 20);
}

void TestShellWindow::everyTextFits_data()
{
    QTest::addColumn<int>("language"); // the index in the language box
    QTest::newRow("English") << 0;
    QTest::newRow("Russian") << 1;
}

void TestShellWindow::everyTextFits()
{
    QFETCH(int, language);
    // The program looks for its translations in the working directory first.
    QTemporaryDir cwd;
    for (const char* name : {"KV847_eng.qm", "KV847_ru.qm"})
        QVERIFY(QFile::copy(QStringLiteral(KV847_QM_DIR "/") + name, cwd.filePath(name)));
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    ShellRig rig;
    QVERIFY(rig.exposed);
    rig.ui()->cbLang->setCurrentIndex(language);
    settle();
    QCOMPARE(rig.ui()->tabWidget->tabText(0), language == 0 ? QString("LFA") : QString("НЧ"));
    QStringList offenders;
    const auto look = [&](const QString& where) {
        settle();
        for (const QString& o : TextFit::textsThatDoNotFit(&rig.shell))
            offenders << where + ": " + o;
    };
    QTabWidget* tabs = rig.ui()->tabWidget;
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        look(tabs->tabText(t));
    }
    // The frames that open over the tabs.
    for (QFrame* f : {rig.ui()->repWIND1, rig.ui()->repWIND2, rig.ui()->repWIND3, rig.ui()->repWIND4,
                      rig.ui()->nldFILE, rig.ui()->refFILE}) {
        f->show();
        look(f->objectName());
        f->hide();
    }
    rig.ui()->cbLang->setCurrentIndex(0);
    QDir::setCurrent(before);
    offenders.removeDuplicates();
    QVERIFY2(offenders.isEmpty(), qPrintable("\n" + offenders.join("\n")));
}

QTEST_MAIN(TestShellWindow)
#include "tst_shellwindow.moc"

// A button restyled on every toggle leaves a drawing per palette in the pixmap cache, none of which is
// found again: they must not pile up to Qt's 10 MB.
void TestShellWindow::restylingDoesNotFillThePixmapCache()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    ShellRig rig;
    QVERIFY(rig.exposed);
    const auto heapKb = [] {
        const struct mallinfo2 m = mallinfo2();
        return qint64((m.uordblks + m.hblkhd) / 1024);
    };
    QPushButton button(QStringLiteral("Search"));
    button.resize(200, 30);
    const QString sheets[] = {QStringLiteral("color: #ff5555;"), QStringLiteral("color: #55ff55;")};
    button.grab();
    const qint64 before = heapKb();
    for (int i = 0; i < 600; ++i) {
        button.setStyleSheet(sheets[i % 2]);
        button.grab();
    }
    const qint64 grown = heapKb() - before;
    QVERIFY2(grown < 3072, qPrintable(QStringLiteral("%1 kB more").arg(grown)));
#else
    QSKIP("needs glibc's heap figures");
#endif
}
