#pragma once

#include "prompts.h"

#include <QQueue>
#include <QStringList>
#include <functional>

// Answers from queues and records what was asked; never shows anything. Questions without a queued
// answer get "No", file dialogs without one get an empty name (cancelled).
class ScriptedPrompts : public Prompts
{
public:
    struct Asked {
        QString kind; // "critical", "warning", "information", "question", "open", "save", "url"
        QString title;
        QString text;
    };

    void critical(const QString& title, const QString& text) override { record("critical", title, text); }
    void warning(const QString& title, const QString& text) override { record("warning", title, text); }
    void information(const QString& title, const QString& text) override
    {
        record("information", title, text);
    }
    bool askYesNo(const QString& title, const QString& text) override
    {
        record("question", title, text);
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString openFileName(const QString& caption, const QString&, const QString& filter) override
    {
        record("open", caption, filter);
        if (whileOpenDialog)
            whileOpenDialog();
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString saveFileName(const QString& caption, const QString&, const QString& filter) override
    {
        record("save", caption, filter);
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    bool openUrl(const QUrl& url) override
    {
        record("url", url.toString(), QString());
        return true;
    }

    int count(const QString& kind) const
    {
        int n = 0;
        for (const Asked& a : asked)
            n += a.kind == kind;
        return n;
    }

    // Runs while an open dialog is up, as the events that a real dialog's own loop delivers.
    std::function<void()> whileOpenDialog;
    QQueue<bool> answers;
    QQueue<QString> fileNames;
    QList<Asked> asked;

private:
    void record(const char* kind, const QString& title, const QString& text)
    {
        asked.append({QString::fromLatin1(kind), title, text});
    }
};
