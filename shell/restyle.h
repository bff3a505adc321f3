#pragma once

#include <QString>
#include <QWidget>

// Sets a widget's own style sheet only when it differs. Qt re-polishes the widget and all inside it
// on every call, even with the same text, and some of these follow every settings message.
inline void restyle(QWidget* w, const QString& sheet)
{
    if (w->styleSheet() != sheet)
        w->setStyleSheet(sheet);
}
