#pragma once

#include "app/prompts.h"
#include "app/scriptedprompts.h"

// The program's real boxes and file dialogs, each photographed while it is up and then dismissed;
// answers and file names come from the script's queues, and nothing is handed to the desktop.
// Every picture is listed with its title and text in index.txt beside the pictures.
class PicturingPrompts : public Prompts
{
public:
    PicturingPrompts(QWidget* parent, const QString& dir);

    void critical(const QString& title, const QString& text) override
    {
        box("critical", &Prompts::critical, title, text);
    }
    void warning(const QString& title, const QString& text) override
    {
        box("warning", &Prompts::warning, title, text);
    }
    void information(const QString& title, const QString& text) override
    {
        box("information", &Prompts::information, title, text);
    }
    bool askYesNo(const QString& title, const QString& text) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override
    {
        return file("open", &Prompts::openFileName, caption, dir, filter);
    }
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override
    {
        return file("save", &Prompts::saveFileName, caption, dir, filter);
    }
    bool openUrl(const QUrl& url) override { return script.openUrl(url); }

    int pictures() const { return m_count; }

    ScriptedPrompts script; // the answers given and the record of what was asked

private:
    using Box = void (Prompts::*)(const QString&, const QString&);
    using FileDialog = QString (Prompts::*)(const QString&, const QString&, const QString&);
    void box(const char* kind, Box show, const QString& title, const QString& text);
    QString file(const char* kind, FileDialog show, const QString& caption, const QString& dir,
                 const QString& filter);
    // Photographs and dismisses the modal window that the next call puts up.
    void arm(const char* kind, const QString& title, const QString& text);

    QtPrompts m_real;
    QString m_dir;
    int m_count = 0;
};
