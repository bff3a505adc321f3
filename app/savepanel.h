#pragma once

class QAbstractButton;
class QLineEdit;
class QWidget;

// The comment panel of a data-file save: a check button opens it; Cancel or a good save closes it.
namespace SavePanel
{
struct Parts {
    QAbstractButton* toggle;
    QWidget* frame;
    QLineEdit* comment;
    QAbstractButton* cancel;
};

void wire(const Parts& parts);
// Hidden, comment cleared, check button released.
void close(const Parts& parts);
} // namespace SavePanel
