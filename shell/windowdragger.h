#pragma once

#include <QPoint>
#include <QWidget>

// Title bar of the frameless shell: dragging it moves the shell (its parent's parent).
class WindowDragger : public QWidget
{
    Q_OBJECT
public:
    explicit WindowDragger(QWidget* parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* movedWindow() const;

    bool m_mousePressed = false;
    QPoint m_pressPos;
    QPoint m_windowPos;
};
