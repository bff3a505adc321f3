#pragma once

#include "shell/frameglow.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QTimer>
#include <QWidget>

namespace Ui
{
class FramelessWindow;
}

// The program's own window frame: title bar with icon, coloured title, battery indicator and
// window buttons; the main window sits inside as its content.
class FramelessWindow : public QWidget
{
    Q_OBJECT
public:
    explicit FramelessWindow(QWidget* parent = nullptr);
    ~FramelessWindow() override;

    void embedContent(QWidget* w);

signals:
    void windowIconLeftClicked();
    void windowIconRightClicked();
    void windowIconDblClick();
    void winRez(QSize size);

public slots:
    void setWindowTitle(QString text, QString col);
    void setWindowIcon(QIcon ico);
    void setBat(uchar bat, bool charge);
    void typeBat();

private slots:
    void on_applicationStateChanged(Qt::ApplicationState state);
    void on_minimizeButton_clicked();
    void on_restoreButton_clicked();
    void on_maximizeButton_clicked();
    void on_closeButton_clicked();
    void on_windowTitlebar_doubleClicked();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyFrameStyle(bool active, bool normal);
    void showBat(quint8 level);
    void remakeGlowLater();

    QTimer m_batTimer;
    quint8 m_bat = 0;
    bool m_charge = false;
    Ui::FramelessWindow* ui;
    QHBoxLayout m_contentLayout;
    FrameGlow m_glow;
    bool m_glowAllowed = false; // the platform can compose it
    bool m_glowPending = false;
    bool m_glowOutlineStale = true; // the frame's look changed
};
