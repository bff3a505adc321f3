#include "shell/mousebuttonsignaler.h"

#include <QMouseEvent>
#include <QWidget>

MouseButtonSignaler::MouseButtonSignaler(QObject* parent) : QObject(parent) {}

bool MouseButtonSignaler::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if ((t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick)
        && watched->isWidgetType())
        emit mouseButtonEvent(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
    // The watched widget still gets the event.
    return false;
}
