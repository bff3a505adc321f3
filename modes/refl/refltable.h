#pragma once

#include "modes/refl/reflcompare.h"
#include "pairs/pairstore.h"

#include <QString>
#include <array>

class QTableWidget;

namespace Refl
{

constexpr int TableRows = 12;
constexpr int MessageRow = 11; // one cell across the three columns

// Items in every cell, centred; header, defect and message rows sized; the message row spanned.
void setUpDefectTable(QTableWidget& table);

// What one defect table shows: no pair, or a status with its defects.
struct DefectView {
    bool hasPair = false;
    quint8 status = 0;
    const std::array<quint16, ReflDefects>* defectDistance = nullptr;
    const std::array<quint16, ReflDefects>* defectLevel = nullptr;
};

// The message row and defect rows 1..10, all in white but the line states.
void showDefects(QTableWidget& table, const DefectView& view);
// Turns the distance and level cells of the differing defects red, current and file side.
void markDifferences(QTableWidget& current, int currentCount, QTableWidget& file, int fileCount,
                     const DefectMarks& marks);

// Group box titles: " Set 1 (1-2) ", or " Set 1 " for an empty set.
QString setTitle(int set, const QString& label);
QString currentTitle(const QString& label);
QString fileTitle(const QString& label);

} // namespace Refl
