#include "savepanel.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace SavePanel
{

void wire(const Parts& parts)
{
    QObject::connect(parts.toggle, &QAbstractButton::toggled, parts.frame, [parts](bool checked) {
        parts.frame->setVisible(checked);
        if (checked)
            parts.frame->raise();
        else
            parts.comment->clear();
    });
    QObject::connect(parts.cancel, &QAbstractButton::clicked, parts.frame, [parts] { close(parts); });
}

void close(const Parts& parts)
{
    parts.frame->hide();
    parts.comment->clear();
    parts.toggle->setChecked(false);
}

} // namespace SavePanel
