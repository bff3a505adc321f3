#include "shell/darkstyle.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void darkStyleInstalls();
    void baseStyleOutlivesAProxy();
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

void TestShell::darkStyleInstalls()
{
    const int before = QApplication::font().pointSize();
    QApplication::setStyle(new DarkStyle);
    QCOMPARE(QApplication::font().pointSize(), before + 1);
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

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
