#include "pictureprompts.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

PicturingPrompts::PicturingPrompts(QWidget* parent, const QString& dir) : m_real(parent), m_dir(dir)
{
    QDir().mkpath(dir);
    QFile::remove(QDir(dir).filePath("index.txt"));
}

void PicturingPrompts::arm(const char* kind, const QString& title, const QString& text)
{
    const QString name = QStringLiteral("%1-%2.png").arg(++m_count, 2, 10, QLatin1Char('0')).arg(kind);
    QFile index(QDir(m_dir).filePath("index.txt"));
    if (index.open(QIODevice::Append | QIODevice::Text)) {
        QTextStream s(&index);
        s.setCodec("UTF-8");
        s << name << "\t" << title << "\t" << QString(text).replace('\n', "\\n") << "\n";
    }
    const QString file = QDir(m_dir).filePath(name);
    // A file dialog fills its list from the event loop: give it a moment before the picture.
    QTimer::singleShot(700, [file] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            // Without a window manager there is no title bar: the title is drawn above the box.
            const QPixmap shot = box->grab();
            const int bar = box->fontMetrics().height() + 8;
            QPixmap framed(shot.width(), shot.height() + bar);
            framed.fill(QColor(30, 30, 30));
            QPainter p(&framed);
            p.setPen(Qt::white);
            p.setFont(box->font());
            p.drawText(QRect(8, 0, shot.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
                       box->windowTitle());
            p.drawPixmap(0, bar, shot);
            p.end();
            framed.save(file);
            box->reject();
        }
    });
}

void PicturingPrompts::box(const char* kind, Box show, const QString& title, const QString& text)
{
    arm(kind, title, text);
    (m_real.*show)(title, text);
    (script.*show)(title, text);
}

QString PicturingPrompts::file(const char* kind, FileDialog show, const QString& caption, const QString& dir,
                               const QString& filter)
{
    arm(kind, caption, filter);
    (m_real.*show)(caption, dir, filter);
    return (script.*show)(caption, dir, filter);
}

bool PicturingPrompts::askYesNo(const QString& title, const QString& text)
{
    arm("question", title, text);
    m_real.askYesNo(title, text);
    return script.askYesNo(title, text);
}
