// The signal search and the signal table of the WRx widget.
#include "rx.h"

#include "modes/lfa/plotstyle.h"
#include "modes/wrx/fitfont.h"
#include "pairs/pairstore.h"
#include "shell/restyle.h"

#include <QPushButton>
#include <QStackedLayout>
#include <QTableWidget>

namespace
{
const QColor White(255, 255, 255);
const QColor MarkColours[] = {White, QColor(85, 255, 85), QColor(255, 85, 85)};
const QColor SpacerGrey(66, 66, 66);

QTableWidgetItem* cell(QTableWidget* t, int row, int col, const QString& text, const QColor& colour,
                       const QFont& font)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setForeground(colour);
    item->setFont(font);
    t->setItem(row, col, item);
    return item;
}
} // namespace

quint8 RX::pair() const
{
    return m_owner.currentPair ? m_owner.currentPair() : 0;
}

PairStore* RX::store() const
{
    return m_owner.pairs ? m_owner.pairs() : nullptr;
}

bool RX::scanning() const
{
    return m_owner.scanning && m_owner.scanning();
}

const PairRecord* RX::record() const
{
    const quint8 p = pair();
    return store() && p >= 1 && p <= PairCount ? &(*store())[p] : nullptr;
}

PairRecord* RX::record()
{
    const quint8 p = pair();
    return store() && p >= 1 && p <= PairCount ? &(*store())[p] : nullptr;
}

bool RX::searched() const
{
    const PairRecord* r = record();
    return r && (r->dataFlags & DataFlag::wrxValid);
}

void RX::setSearch()
{
    const bool a = m_search->isChecked();
    restyle(m_search, a ? PlotStyle::AlarmSheet : PlotStyle::AccentSheet);
    m_diffBtn->setEnabled(!a);
    if (!m_fromDevice && int(a) != m_lastSearch) {
        if (!a) {
            emitFix(false);
            setMARK(m_marker);
        } else if (searched()) {
            const QString text = "<b>" + tr("Do you want to search again?") + "</b>";
            if (m_owner.askYesNo && m_owner.askYesNo(tr("Attention!"), text)) {
                emit changeFind();
                m_current = 0;
            } else {
                const PairRecord* r = record();
                FindTab();
                if (r && m_current < r->signalCount) {
                    m_marker = r->signalFreq[std::size_t(m_current)] / 100.0;
                    emitFix(true);
                }
            }
        } else {
            emit changeFind();
            m_current = 0;
        }
    }
    m_stack->setCurrentIndex(a ? 1 : 0);
    FindTab();
    m_lastSearch = a;
}

void RX::findDATA(const QByteArray& data)
{
    if (!m_search->isChecked() && !scanning())
        return;
    const quint8 p = pair();
    if (!store() || !Wrx::takeSearchBlock(*store(), p, data))
        return;
    m_fix = true;
    updateBar();
    if (record()->signalCount == 0) {
        emit updateFind(p);
    } else {
        emit updateFind(0);
        m_current = Wrx::sortSignals(*store(), p, m_sort, p, m_current);
    }
    rebuildTable(true);
}

void RX::FindTab()
{
    rebuildTable(false);
}

void RX::rebuildTable(bool fromResults)
{
    QTableWidget* t = m_table;
    t->clear();
    const PairRecord* r = record();
    const int n = r ? r->signalCount : 0;
    // A page that was never shown has no size of its own yet: it gets the stack's.
    const QSize size = m_stack->geometry().isValid() ? m_stack->geometry().size() : t->size();
    const Wrx::TableShape shape = Wrx::tableShape(n, size);
    QFont font(this->font().family(), 9, 63);
    font = Wrx::fittingFont(font, {QStringLiteral("000.000 MHz")}, shape.unit + 85 - 8);

    if (n == 0) {
        t->setRowCount(1);
        t->setColumnCount(1);
        t->setColumnWidth(0, shape.unit + 200);
        t->setRowHeight(0, shape.headerHeight);
        cell(t, 0, 0, searched() ? tr("Nothing found!") : tr("Search not performed!"), White, font);
        if (fromResults)
            searchStep(Wrx::SearchScan::Tabulated);
        return;
    }

    t->setRowCount(shape.rows);
    t->setColumnCount(shape.columns);
    t->setRowHeight(0, shape.headerHeight);
    for (int row = 1; row < shape.rows; ++row)
        t->setRowHeight(row, shape.rowHeight);
    const QString headers[] = {tr("No."), tr("Freq."), tr("Level"), tr("Total")};
    const int widths[] = {shape.unit + 40, shape.unit + 85, shape.unit + 45, shape.unit + 42};
    for (int g = 0; g < shape.groups; ++g) {
        const int c0 = Wrx::GroupColumns * g;
        for (int k = 0; k < 4; ++k) {
            cell(t, 0, c0 + k, headers[k], k == m_sort ? PlotStyle::Accent : White, font);
            t->setColumnWidth(c0 + k, widths[k]);
        }
        if (g + 1 < shape.groups) {
            t->setColumnWidth(c0 + 4, shape.spacer);
            for (int row = 0; row < 13; ++row) {
                auto* spacer = new QTableWidgetItem;
                spacer->setBackground(SpacerGrey);
                t->setItem(row, c0 + 4, spacer);
            }
        }
    }
    for (int s = 0; s < n; ++s) {
        const int row = Wrx::signalRow(s), c0 = Wrx::signalColumn(s);
        const quint16 code = r->signalFreq[std::size_t(s)];
        cell(t, row, c0, QString::number(s + 1), White, font);
        cell(t, row, c0 + 1, QString::asprintf("%.3f MHz", code / 100.0), MarkColours[m_marks.at(code)],
             font);
        cell(t, row, c0 + 2, QString::number(r->signalLevel[std::size_t(s)]) + " dB", White, font);
        cell(t, row, c0 + 3, QString::number(r->occurrence[std::size_t(s)]), White, font);
    }
    if (m_current >= n)
        m_current = 0;
    if (m_search->isChecked() || scanning())
        tabClick(Wrx::signalRow(m_current), Wrx::signalColumn(m_current));
    if (fromResults)
        searchStep(Wrx::SearchScan::Tabulated);
}

void RX::selectSignal(int s, bool on)
{
    for (int k = 0; k < 4; ++k)
        if (QTableWidgetItem* item = m_table->item(Wrx::signalRow(s), Wrx::signalColumn(s) + k))
            item->setSelected(on);
}

void RX::tabClick(int row, int col)
{
    const PairRecord* r = record();
    const int n = r ? r->signalCount : 0;
    if (n == 0 || (col + 1) % Wrx::GroupColumns == 0)
        return;
    if (row == 0) {
        const int mode = col % Wrx::GroupColumns;
        if (mode == 0 || mode == m_sort)
            return;
        m_sort = mode;
        m_current = Wrx::sortSignals(*store(), 0, m_sort, pair(), m_current);
        FindTab();
        return;
    }
    selectSignal(m_current, false);
    const int s = Wrx::signalAt(row, col);
    if (s >= 0 && s < n)
        m_current = s;
    selectSignal(m_current, true);
    setMARK(r->signalFreq[std::size_t(m_current)] / 100.0);
}

void RX::tabDblClick(int row, int col)
{
    const PairRecord* r = record();
    const int s = Wrx::signalAt(row, col);
    if (!r || s < 0 || s >= r->signalCount)
        return;
    const quint8 mark = m_marks.cycle(r->signalFreq[std::size_t(s)]);
    if (QTableWidgetItem* item = m_table->item(Wrx::signalRow(s), Wrx::signalColumn(s) + 1))
        item->setForeground(MarkColours[mark]);
}

void RX::searchStep(int event)
{
    switch (m_scan.step(event, scanning(), pair())) {
    case Wrx::SearchScan::Action::Sweep:
        emitFix(false);
        break;
    case Wrx::SearchScan::Action::Find:
        emit changeFind();
        break;
    case Wrx::SearchScan::Action::Next:
        emit nextPARA();
        break;
    case Wrx::SearchScan::Action::Restore:
        emitFix(m_search->isChecked());
        break;
    case Wrx::SearchScan::Action::None:
        break;
    }
}

void RX::clearSignals()
{
    m_marks.clear();
    m_current = 0;
    FindTab();
}
