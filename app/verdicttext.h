#pragma once

#include <QPlainTextEdit>

// Comparison verdicts are shown again on every message of the selected pair. Replacing the text
// builds the box's document anew (hundreds of allocations), so it is only done on a change.
inline void showVerdictText(QPlainTextEdit& box, const QString& text)
{
    if (box.toPlainText() == text)
        return;
    if (text.isEmpty())
        box.clear();
    else
        box.setPlainText(text);
}
