#pragma once

#include <QString>
#include <QUrl>

class QObject;
class QWidget;

// Every message box, question, file dialog and desktop hand-off of the program goes through one
// object, so tests can answer them from a script instead of blocking on a modal dialog.
class Prompts
{
public:
    virtual ~Prompts();

    virtual void critical(const QString& title, const QString& text) = 0;
    virtual void warning(const QString& title, const QString& text) = 0;
    virtual void information(const QString& title, const QString& text) = 0;
    // A warning box with the buttons "Yes" and "No"; "No" is the default and the escape button.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    virtual QString openFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
    virtual bool openUrl(const QUrl& url) = 0;

    // Shows the box from the event loop once the caller has returned (nothing if context is gone
    // by then). For boxes that a received message raises: the link keeps being read while it is open.
    void later(QObject* context, void (Prompts::*box)(const QString&, const QString&), const QString& title,
               const QString& text);
};

// The real dialogs, parented to the given window.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget* parent) : m_parent(parent) {}

    void critical(const QString& title, const QString& text) override;
    void warning(const QString& title, const QString& text) override;
    void information(const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override;
    bool openUrl(const QUrl& url) override;

private:
    QWidget* m_parent;
};
