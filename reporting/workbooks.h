#pragma once

#include "reporting/xlsx/xlsxdocument.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>

class PairStore;
class QTableWidget;

// The report workbooks, built from what the pair table shows and what the pair store holds.
namespace Report
{

struct TextCell {
    QString text;
    QColor colour;
};

// Rows of the cable switch table: index = pair number 1..36 (index 0 stays empty).
struct SwitchRow {
    TextCell name;
    TextCell first;  // column 1: Vdc or total signals
    TextCell second; // column 2: Vac or unique signals
};
using SwitchRows = QVector<SwitchRow>;
SwitchRows switchRows(const QTableWidget& pairTable);

// Rows 1..10 of a REFL defect table, three cells each: number, distance, level.
using DefectRows = QVector<QVector<TextCell>>;
DefectRows defectRows(const QTableWidget& defectTable);

// The pairs that get a group: every pair or only the current one, never a greyed-out pair
// (nor pair 0, which has no row).
QList<int> bookPairs(const SwitchRows& rows, bool allPairs, int currentPair);

Xlsx::Document lfaSwitchBook(const SwitchRows& rows);
Xlsx::Document wrxSwitchBook(const SwitchRows& rows);

// The receiver's mark of a frequency code: 1 wanted, 2 suspicious, other values none.
using FrequencyMark = std::function<quint8(quint16)>;
Xlsx::Document wrxSignalBook(const SwitchRows& rows, const PairStore& pairs, const QList<int>& taken,
                             const FrequencyMark& mark);

Xlsx::Document reflDefectsBook(const SwitchRows& rows, const PairStore& pairs, const QList<int>& taken,
                               float factor);

struct ReflComparison {
    QString pair; // pair label
    float factor = 0;
    QString message; // the REFL message box, as plain text
    bool currentValid = false;
    quint8 currentStatus = 0;
    quint8 fileStatus = 0;
    DefectRows current; // on-screen table of the current data
    DefectRows file;    // on-screen table of the file data
};
Xlsx::Document reflCompareBook(const ReflComparison& in);

} // namespace Report
