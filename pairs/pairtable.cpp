#include "pairtable.h"

#include "pairs/myitemdelegate.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace PairTable
{

// Header texts belong to the main window's translation context.
namespace
{
void setHeader(QTableWidget& t, int col, int width, const QString& title)
{
    t.setColumnWidth(col, width);
    t.item(0, col)->setText(title);
}
} // namespace

void setUp(QTableWidget& t)
{
    t.setRowCount(Rows);
    t.setColumnCount(Columns);
    t.setFocusPolicy(Qt::NoFocus);
    // Rows are sized to fit the panel, below the style's usual minimum.
    t.verticalHeader()->setMinimumSectionSize(1);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            t.setItem(r, c, item);
        }
    t.item(0, 0)->setText(QCoreApplication::translate("MainWindow", "PAIR"));
    const QFont header(t.font().family(), 9, 63);
    for (int c = 0; c < Columns; ++c)
        t.item(0, c)->setFont(header);
    t.item(0, 0)->setForeground(QColor(Qt::white));
    t.setRowHeight(0, 25);
    t.setColumnWidth(0, 45);
    t.setItemDelegate(new MyItemDelegate(&t));
}

Geometry geometryFor(int w, int h)
{
    Geometry g;
    g.column0 = std::max(5 * w / 29, 45);
    g.rest = w - g.column0;
    g.headerRow = h / 37 + 7;
    g.row = (h - 7) / 37;
    return g;
}

Geometry geometryOf(const QTableWidget& t)
{
    // Right minus left minus 1 of the table's own rectangle: its room inside the 1-pixel frame.
    const QRect r = t.geometry();
    return geometryFor(r.right() - r.left() - 1, r.bottom() - r.top() - 1);
}

void layOutRow(QTableWidget& t, int row, const Geometry& g)
{
    t.item(row, 0)->setTextAlignment(Qt::AlignCenter);
    t.setRowHeight(row, g.row);
}

void setModeColumns(QTableWidget& t, int mode, const Geometry& g)
{
    const int half = g.rest / 2;
    t.setRowHeight(0, g.headerRow);
    t.setColumnWidth(0, g.column0);
    switch (mode) {
    case 0:
        setHeader(t, 1, half, QCoreApplication::translate("MainWindow", "Vdc"));
        setHeader(t, 2, g.rest - half, QCoreApplication::translate("MainWindow", "Vac"));
        setHeader(t, 3, 0, QString());
        break;
    case 1:
        setHeader(t, 1, half, QCoreApplication::translate("MainWindow", "Total signals"));
        setHeader(t, 2, g.rest - half, QCoreApplication::translate("MainWindow", "Unique signals"));
        setHeader(t, 3, 0, QString());
        break;
    case 2:
        setHeader(t, 1, 0, QString());
        setHeader(t, 2, 0, QString());
        setHeader(t, 3, g.rest, QCoreApplication::translate("MainWindow", "Harmonics"));
        break;
    case 3:
        setHeader(t, 1, 0, QString());
        setHeader(t, 2, 0, QString());
        setHeader(t, 3, g.rest, QCoreApplication::translate("MainWindow", "Level/Distance"));
        break;
    default:
        break;
    }
}

} // namespace PairTable
