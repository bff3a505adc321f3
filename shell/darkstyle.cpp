#include "darkstyle.h"

#include "resources/resources.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

DarkStyle::DarkStyle() : DarkStyle(nullptr) {}

namespace
{
// Every DarkStyle alive, newest last: the shared base must always draw through one of them.
QList<DarkStyle*>& liveStyles()
{
    static QList<DarkStyle*> styles;
    return styles;
}
} // namespace

DarkStyle::DarkStyle(QStyle* style) : QProxyStyle(styleBase(style))
{
    // The proxy would own its base and delete it with itself; the base is shared for the whole run.
    baseStyle()->setParent(nullptr);
    liveStyles().append(this);
}

DarkStyle::~DarkStyle()
{
    liveStyles().removeOne(this);
    QStyle* base = styleBase();
    if (base->proxy() != this)
        return;
    // The base calls back through its proxy while it draws; hand it to a style that stays: the
    // newest one of ours, else a plain proxy kept for the run.
    QProxyStyle* heir = liveStyles().isEmpty() ? nullptr : liveStyles().constLast();
    if (!heir) {
        static QProxyStyle* const keeper = new QProxyStyle(base);
        heir = keeper;
    }
    heir->setBaseStyle(base);
    base->setParent(nullptr);
}

QStyle* DarkStyle::styleBase(QStyle* style)
{
    static QStyle* base = style ? style : QStyleFactory::create(QStringLiteral("Fusion"));
    return base;
}

QStyle* DarkStyle::baseStyle() const
{
    return styleBase();
}

void DarkStyle::polish(QPalette& palette)
{
    const QColor disabled(127, 127, 127);
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    palette.setColor(QPalette::Base, QColor(42, 42, 42));
    palette.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    palette.setColor(QPalette::ToolTipBase, Qt::white);
    palette.setColor(QPalette::ToolTipText, QColor(53, 53, 53));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabled);
    palette.setColor(QPalette::Dark, QColor(35, 35, 35));
    palette.setColor(QPalette::Shadow, QColor(20, 20, 20));
    palette.setColor(QPalette::Button, QColor(53, 53, 53));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Link, QColor(42, 130, 218));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, disabled);
}

void DarkStyle::polish(QApplication* app)
{
    // Setting the style sheet polishes the application again through the sheet's own style; the
    // font must still grow only once.
    if (!app || m_polishing)
        return;
    m_polishing = true;
    // The form's fixed geometry was laid out for the interface font of Windows (8 points); desktops
    // elsewhere use wider faces and larger sizes, which push texts out of their room. One point
    // larger than that, in an Arial-metric face where the desktop has one.
    QFont font = QApplication::font();
    if (QFontDatabase().hasFamily(QStringLiteral("Liberation Sans")))
        font.setFamily(QStringLiteral("Liberation Sans"));
    font.setPointSize(DesignPointSize + 1);
    QApplication::setFont(font);

    initKv847Resources();
    QFile sheet(QStringLiteral(":/darkstyle/darkstyle.qss"));
    if (sheet.open(QIODevice::ReadOnly | QIODevice::Text)) {
        app->setStyleSheet(QString::fromLatin1(sheet.readAll()));
        sheet.close();
    }
    m_polishing = false;
}
