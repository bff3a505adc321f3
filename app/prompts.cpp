#include "prompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

Prompts::~Prompts() = default;

void Prompts::later(QObject* context, void (Prompts::*box)(const QString&, const QString&), const QString& title,
                    const QString& text)
{
    QTimer::singleShot(0, context, [this, box, title, text] { (this->*box)(title, text); });
}

void QtPrompts::critical(const QString& title, const QString& text)
{
    QMessageBox::critical(m_parent, title, text, QMessageBox::Ok);
}

void QtPrompts::warning(const QString& title, const QString& text)
{
    QMessageBox::warning(m_parent, title, text, QMessageBox::Ok);
}

void QtPrompts::information(const QString& title, const QString& text)
{
    QMessageBox::information(m_parent, title, text, QMessageBox::Ok);
}

bool QtPrompts::askYesNo(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, m_parent);
    QPushButton* yes = box.addButton(QCoreApplication::translate("MainWindow", "Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QCoreApplication::translate("MainWindow", "No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtPrompts::openFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, caption, dir, filter);
}

QString QtPrompts::saveFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getSaveFileName(m_parent, caption, dir, filter);
}

bool QtPrompts::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
