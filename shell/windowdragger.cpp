#include "shell/windowdragger.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

WindowDragger::WindowDragger(QWidget* parent) : QWidget(parent) {}

QWidget* WindowDragger::movedWindow() const
{
    return parentWidget() ? parentWidget()->parentWidget() : nullptr;
}

void WindowDragger::mousePressEvent(QMouseEvent* event)
{
    m_mousePressed = true;
    m_pressPos = event->globalPos();
    if (QWidget* w = movedWindow())
        m_windowPos = w->pos();
}

void WindowDragger::mouseMoveEvent(QMouseEvent* event)
{
    QWidget* w = movedWindow();
    if (!w || !m_mousePressed)
        return;
    w->move(m_windowPos + (event->screenPos().toPoint() - m_pressPos));
}

void WindowDragger::mouseReleaseEvent(QMouseEvent*)
{
    m_mousePressed = false;
}

void WindowDragger::mouseDoubleClickEvent(QMouseEvent*)
{
    emit doubleClicked();
}

// A plain QWidget subclass ignores style-sheet backgrounds unless it draws them itself.
void WindowDragger::paintEvent(QPaintEvent*)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
