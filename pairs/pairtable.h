#pragma once

class QTableWidget;

// The pair table: row 0 is the header, row p belongs to pair p; column 3 holds per-pair indicators.
namespace PairTable
{

constexpr int Rows = 37;
constexpr int Columns = 4;

// Items, header row and delegate; the indicators of column 3 are added by the caller.
void setUp(QTableWidget& table);

struct Geometry {
    int column0 = 45;
    int rest = 0; // width shared by the mode columns
    int headerRow = 25;
    int row = 17;
};
// From the table's inner width and height, so that all 37 rows fit without scrolling.
Geometry geometryFor(int innerWidth, int innerHeight);
Geometry geometryOf(const QTableWidget& table);

// Row heights and the centred pair name of row `row` (1..36).
void layOutRow(QTableWidget& table, int row, const Geometry& g);
// Column widths and header texts of a mode (0 LFA, 1 WRx, 2 NLJD, 3 REFL); other values change nothing.
void setModeColumns(QTableWidget& table, int mode, const Geometry& g);

} // namespace PairTable
