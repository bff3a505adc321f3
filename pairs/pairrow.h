#pragma once

#include <QtGlobal>

class QTableWidget;
struct PairRecord;

// What the row of one pair shows besides the record itself.
struct PairRowContext {
    bool enabled = true;  // the pair enable test for this pair
    quint8 cableType = 3; // 0..3 twisted, 10 non-twisted
    int shownTab = 0;
    bool overVoltage = false; // the oscilloscope's dangerous-voltage flag
};

// Writes row `pair` of the pair table: its name, whether it may be measured (also stored as
// `excluded`), and the LFA or WRx summary of the shown tab.
void renderPairRow(QTableWidget& table, int pair, PairRecord& record, const PairRowContext& ctx);

// Pairs twisted together in a cable of this type; they are told apart by colour.
bool twistedTogether(quint8 cableType, quint8 wireA, quint8 wireB);
