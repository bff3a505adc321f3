#include "pairrow.h"

#include "link/dispatchroute.h"
#include "pairs/pairstore.h"

#include <QTableWidget>

namespace
{
const QColor White(0xFFFFFF);
const QColor Grey(0xAAAAAA);
const QColor Twisted(160, 220, 255);
const QColor Red(0xFF5555);
const QColor Green(0x55FF55);

QString pairName(int pair, const PairRecord& r)
{
    if (pair > 28)
        return QString::number(r.wireA) + "-SH";
    return QString::number(r.wireA) + "-" + QString::number(r.wireB);
}

void setCell(QTableWidget& t, int row, int col, const QString& text, const QColor& colour)
{
    QTableWidgetItem* item = t.item(row, col);
    item->setText(text);
    item->setForeground(colour);
}

void clearCells(QTableWidget& t, int row)
{
    t.item(row, 1)->setText(QString());
    t.item(row, 2)->setText(QString());
}

void lfaCells(QTableWidget& t, int row, const PairRecord& r, bool overVoltage)
{
    QColor dc = White;
    if (overVoltage)
        dc = Red;
    if (r.statusA == 0 && r.statusC != 5)
        dc = Green;
    setCell(t, row, 1, QString::asprintf("%.1f v", double(r.dcVoltage)), dc);
    setCell(t, row, 2, QString::asprintf("%.2f v", double(r.acVoltage)), r.acVoltage > 3.0f ? Red : White);
}

void wrxCells(QTableWidget& t, int row, const PairRecord& r)
{
    setCell(t, row, 1, QString::asprintf("%d", r.signalCount), White);
    setCell(t, row, 2, QString::asprintf("%d", r.uniqueCount), White);
}
} // namespace

bool twistedTogether(quint8 cableType, quint8 wireA, quint8 wireB)
{
    if (cableType > 3)
        return false;
    const auto is = [&](int a, int b) { return wireA == a && wireB == b; };
    return is(3, 6) || is(4, 5) || is(1, 2) || is(7, 8) || (cableType == 2 && is(2, 7));
}

void renderPairRow(QTableWidget& t, int pair, PairRecord& r, const PairRowContext& ctx)
{
    QTableWidgetItem* name = t.item(pair, 0);
    name->setText(pairName(pair, r));
    const QString family = t.font().family();
    if (ctx.enabled) {
        name->setFont(QFont(family, 9, 63));
        name->setForeground(twistedTogether(ctx.cableType, r.wireA, r.wireB) ? Twisted : White);
        r.excluded = 0;
    } else {
        name->setFont(QFont(family, 9, 1, true));
        name->setForeground(Grey);
        r.excluded = 1;
    }

    switch (ctx.shownTab) {
    case Tab::Lfa:
        if ((r.dataFlags & DataFlag::lfaValid) && !r.excluded)
            lfaCells(t, pair, r, ctx.overVoltage);
        else
            clearCells(t, pair);
        break;
    case Tab::Wrx:
        if ((r.dataFlags & DataFlag::wrxValid) && !r.excluded)
            wrxCells(t, pair, r);
        else
            clearCells(t, pair);
        break;
    default:
        if (QWidget* indicator = t.cellWidget(pair, 3))
            indicator->update();
        break;
    }
}
