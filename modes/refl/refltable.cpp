#include "refltable.h"

#include "modes/refl/reflmessage.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace Refl
{

namespace
{
const QColor White(0xFFFFFF);
const QColor Green(85, 255, 85);
const QColor Red(255, 85, 85);

QString text(const char* source)
{
    return QCoreApplication::translate("MainWindow", source);
}

void setCell(QTableWidget& t, int row, int col, const QString& s, const QColor& colour)
{
    QTableWidgetItem* item = t.item(row, col);
    item->setText(s);
    item->setForeground(colour);
}

void showMessage(QTableWidget& t, const DefectView& v)
{
    if (!v.hasPair) {
        setCell(t, MessageRow, 0, text(QT_TRANSLATE_NOOP("MainWindow", "No pair selected!")), White);
        return;
    }
    switch (v.status) {
    case NoData:
        setCell(t, MessageRow, 0, text(QT_TRANSLATE_NOOP("MainWindow", "No data")), White);
        break;
    case NoDefects:
        setCell(t, MessageRow, 0, text(QT_TRANSLATE_NOOP("MainWindow", "No defects!")), Green);
        break;
    case Noise:
        setCell(t, MessageRow, 0, text(QT_TRANSLATE_NOOP("MainWindow", "Noise!")), Red);
        break;
    case OverVoltage:
        setCell(t, MessageRow, 0, text(QT_TRANSLATE_NOOP("MainWindow", ">3v!!!")), Red);
        break;
    default:
        setCell(t, MessageRow, 0, QString(), White);
        break;
    }
}
} // namespace

void setUpDefectTable(QTableWidget& t)
{
    t.setRowCount(TableRows);
    t.setColumnCount(3);
    for (int r = 0; r < TableRows; ++r)
        for (int c = 0; c < 3; ++c) {
            // Row 0 keeps the column titles the form gave it.
            if (!t.item(r, c))
                t.setItem(r, c, new QTableWidgetItem);
            t.item(r, c)->setTextAlignment(Qt::AlignCenter);
        }
    // The rows are sized to fit the group box, below what the font would ask for.
    t.verticalHeader()->setMinimumSectionSize(1);
    t.setRowHeight(0, 24);
    for (int r = 1; r < TableRows; ++r)
        t.setRowHeight(r, 22);
    t.setColumnWidth(0, 83);
    t.setColumnWidth(1, 90);
    t.setColumnWidth(2, 90);
    t.setSpan(MessageRow, 0, 1, 3);
}

void showDefects(QTableWidget& t, const DefectView& v)
{
    showMessage(t, v);
    const bool list = v.hasPair && v.status <= ReflDefects;
    for (int k = 1; k <= ReflDefects; ++k) {
        const bool present = list && k <= v.status;
        setCell(t, k, 0, present ? QString::number(k) : QString(), White);
        setCell(t, k, 1, present ? QString::asprintf("%.1f m", (*v.defectDistance)[k - 1] / 10.0) : QString(),
                White);
        setCell(t, k, 2, present ? QString::number((*v.defectLevel)[k - 1]) + " dB" : QString(), White);
    }
}

void markDifferences(QTableWidget& current, int currentCount, QTableWidget& file, int fileCount,
                     const DefectMarks& marks)
{
    const auto mark = [](QTableWidget& t, int count, const std::array<quint8, ReflDefects>& distance,
                         const std::array<quint8, ReflDefects>& level) {
        for (int k = 0; k < std::min(count, ReflDefects); ++k) {
            if (distance[k] == Differs)
                t.item(k + 1, 1)->setForeground(Red);
            if (level[k] == Differs)
                t.item(k + 1, 2)->setForeground(Red);
        }
    };
    mark(current, currentCount, marks.currentDistance, marks.currentLevel);
    mark(file, fileCount, marks.fileDistance, marks.fileLevel);
}

QString setTitle(int set, const QString& label)
{
    if (label.isEmpty())
        return set == 0 ? text(QT_TRANSLATE_NOOP("MainWindow", " Set 1 "))
                        : text(QT_TRANSLATE_NOOP("MainWindow", " Set 2 "));
    const QString open = set == 0 ? text(QT_TRANSLATE_NOOP("MainWindow", " Set 1 ("))
                                  : text(QT_TRANSLATE_NOOP("MainWindow", " Set 2 ("));
    return open + label + ") ";
}

QString currentTitle(const QString& label)
{
    return text(QT_TRANSLATE_NOOP("MainWindow", " Current data (")) + label + ") ";
}

QString fileTitle(const QString& label)
{
    return text(QT_TRANSLATE_NOOP("MainWindow", " From file (")) + label + ") ";
}

} // namespace Refl
