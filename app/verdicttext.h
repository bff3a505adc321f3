#pragma once

#include <QPlainTextEdit>
#include <QTableWidgetItem>

// Comparison verdicts are shown again on every message of a pair. Replacing the text builds the
// box's document anew (hundreds of allocations), so it and the name's colour change only on a change.
inline void showVerdictText(QPlainTextEdit& box, const QString& text)
{
    if (box.toPlainText() == text)
        return;
    if (text.isEmpty())
        box.clear();
    else
        box.setPlainText(text);
}

inline void showVerdictColour(QTableWidgetItem& name, const QColor& colour)
{
    const QBrush now = name.foreground();
    if (now.style() != Qt::SolidPattern || now.color() != colour)
        name.setForeground(colour);
}
