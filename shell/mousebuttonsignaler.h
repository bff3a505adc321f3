#pragma once

#include <QObject>

class QMouseEvent;
class QWidget;

// Lets a widget without click signals (a label) report its mouse button events.
class MouseButtonSignaler : public QObject
{
    Q_OBJECT
public:
    explicit MouseButtonSignaler(QObject* parent = nullptr);

signals:
    void mouseButtonEvent(QWidget* widget, QMouseEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
