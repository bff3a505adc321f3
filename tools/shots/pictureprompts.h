#pragma once

#include "app/prompts.h"
#include "app/scriptedprompts.h"

#include <QTextStream>

// The program's real boxes and file dialogs, each photographed while it is up and then dismissed;
// answers and file names come from the scripted queues, and nothing is handed to the desktop.
// Every picture is listed with its title and text in index.txt beside the pictures.
class PicturingPrompts : public ScriptedPrompts
{
public:
    PicturingPrompts(QWidget* parent, const QString& dir);

    void critical(const QString& title, const QString& text) override;
    void warning(const QString& title, const QString& text) override;
    void information(const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override;

    int pictures() const { return m_count; }

private:
    // Photographs and dismisses the modal window that the next call puts up.
    void arm(const char* kind, const QString& title, const QString& text);

    QtPrompts m_real;
    QString m_dir;
    int m_count = 0;
};
