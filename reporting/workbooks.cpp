#include "workbooks.h"

#include "pairs/pairstore.h"

#include <QCoreApplication>
#include <QTableWidget>

namespace Report
{

namespace
{
using Xlsx::CellRange;
using Xlsx::Format;

const QColor Black(0, 0, 0);
const QColor ScreenGrey(0xAAAAAA);
const QColor ScreenTwisted(160, 220, 255);
const QColor ScreenRed(0xFF5555);
const QColor ScreenGreen(0x55FF55);
const QColor BookGrey(0x666666);
const QColor BookTwisted(0, 60, 180);
const QColor BookRed(0xAA0000);
const QColor BookGreen(0x00AA00);

// The context the translation tools file this namespace's texts under.
QString tr(const char* text, const char* disambiguation = nullptr)
{
    return QCoreApplication::translate("Report", text, disambiguation);
}

bool sameColour(const QColor& a, const QColor& b)
{
    return a.isValid() && a.rgb() == b.rgb();
}

void setStyle(Format& f, const QColor& colour, bool bold, bool italic)
{
    f.setFontColor(colour);
    f.setFontBold(bold);
    f.setFontItalic(italic);
}

void titleFormat(Format& f)
{
    f.setFontColor(Black);
    f.setFontSize(14);
    f.setFontBold(true);
    f.setHorizontalAlignment(Format::AlignLeft);
    f.setThinBorder(false);
}

void tableFormat(Format& f)
{
    f.setHorizontalAlignment(Format::AlignHCenter);
    f.setThinBorder(true);
    f.setFontSize(13);
}

void pairNameStyle(Format& f, const QColor& screen)
{
    if (sameColour(screen, ScreenGrey))
        setStyle(f, BookGrey, false, true);
    else if (sameColour(screen, ScreenTwisted))
        setStyle(f, BookTwisted, true, false);
    else
        setStyle(f, Black, true, false);
}

void measuredStyle(Format& f, const QColor& screen, bool greenToo)
{
    if (sameColour(screen, ScreenRed))
        setStyle(f, BookRed, false, false);
    else if (greenToo && sameColour(screen, ScreenGreen))
        setStyle(f, BookGreen, false, false);
    else
        setStyle(f, Black, false, false);
}

// A note written plainly and merged over the three columns of its group.
void groupNote(Xlsx::Document& book, int row, int column, const QString& text, const Format& f)
{
    book.write(row, column, text, Format());
    book.mergeCells({row, column, row, column + 2}, f);
}

struct Column {
    QString title;
    double width;
};

// A group's head: its title merged over the three columns, the column titles under it.
void groupHead(Xlsx::Document& book, int row, int c, const QString& title, const Column (&columns)[3],
               const Format& f)
{
    book.write(row, c, title, f);
    book.mergeCells({row, c, row, c + 2}, f);
    for (int i = 0; i < 3; ++i) {
        book.write(row + 1, c + i, columns[i].title, f);
        book.setColumnWidth(c + i, columns[i].width);
    }
}

TextCell cellOf(const QTableWidget& t, int row, int column)
{
    const QTableWidgetItem* item = t.item(row, column);
    if (!item)
        return {};
    return {item->text(), item->foreground().color()};
}

Xlsx::Document switchBook(const SwitchRows& rows, const QString& title, const QStringList& heads, bool lfa)
{
    Xlsx::Document book;
    Format f;
    titleFormat(f);
    book.write(1, 1, title, f);
    tableFormat(f);
    for (int c = 0; c < 3; ++c)
        book.write(3, c + 1, heads[c], f);
    if (!lfa) {
        book.setColumnWidth(2, 15);
        book.setColumnWidth(3, 16);
    }
    for (int i = 1; i < rows.size() && i <= PairCount; ++i) {
        const SwitchRow& r = rows[i];
        pairNameStyle(f, r.name.colour);
        book.write(i + 3, 1, r.name.text, f);
        if (lfa)
            measuredStyle(f, r.first.colour, true);
        else
            setStyle(f, Black, false, false);
        book.write(i + 3, 2, r.first.text, f);
        if (lfa)
            measuredStyle(f, r.second.colour, false);
        book.write(i + 3, 3, r.second.text, f);
    }
    return book;
}

// "No defects!", "Noise!", ">3v!!!" or an empty merged cell for the REFL states that carry no list.
void reflNote(Xlsx::Document& book, int row, int column, quint8 status, const Format& f)
{
    switch (status) {
    case 252:
        groupNote(book, row, column, tr("No defects!"), f);
        break;
    case 253:
        groupNote(book, row, column, tr("Noise!"), f);
        break;
    case 254:
        groupNote(book, row, column, tr(">3v!!!"), f);
        break;
    default:
        groupNote(book, row, column, QString(), f);
        break;
    }
}

bool isDefectCount(quint8 status)
{
    return status >= 1 && status <= ReflDefects;
}

QString factorLine(float factor)
{
    return tr("Factor:") + QString::asprintf(" %.2f", double(factor));
}
} // namespace

SwitchRows switchRows(const QTableWidget& t)
{
    SwitchRows rows(PairCount + 1);
    for (int p = 1; p <= PairCount && p < t.rowCount(); ++p)
        rows[p] = {cellOf(t, p, 0), cellOf(t, p, 1), cellOf(t, p, 2)};
    return rows;
}

DefectRows defectRows(const QTableWidget& t)
{
    DefectRows rows;
    for (int r = 1; r <= ReflDefects; ++r)
        rows.append({cellOf(t, r, 0), cellOf(t, r, 1), cellOf(t, r, 2)});
    return rows;
}

QList<int> bookPairs(const SwitchRows& rows, bool allPairs, int currentPair)
{
    QList<int> out;
    const int first = allPairs ? 1 : currentPair;
    const int last = allPairs ? PairCount : currentPair;
    for (int p = qMax(first, 1); p <= last && p < rows.size(); ++p)
        if (!sameColour(rows[p].name.colour, ScreenGrey))
            out.append(p);
    return out;
}

Xlsx::Document lfaSwitchBook(const SwitchRows& rows)
{
    return switchBook(rows, tr("LFA: Switch table"), {tr("PAIR"), tr("Vdc"), tr("Vac")}, true);
}

Xlsx::Document wrxSwitchBook(const SwitchRows& rows)
{
    return switchBook(rows, tr("WRx: Switch table"), {tr("PAIR"), tr("Total signals"), tr("Unique signals")},
                      false);
}

Xlsx::Document wrxSignalBook(const SwitchRows& rows, const PairStore& pairs, const QList<int>& taken,
                             const FrequencyMark& mark)
{
    Xlsx::Document book;
    Format f;
    titleFormat(f);
    book.write(1, 1, tr("WRx: Signal table"), f);
    tableFormat(f);
    book.write(3, 1, tr("PAIR"), f);
    book.write(4, 1, tr("No."), f);

    int numbered = 0; // rows that already carry their number
    int c = 2;
    for (int pair : taken) {
        pairNameStyle(f, rows[pair].name.colour);
        groupHead(book, 3, c, rows[pair].name.text,
                  {{tr("Freq."), 16}, {tr("Level", "в excel"), 7}, {tr("Total"), 7}}, f);
        setStyle(f, Black, false, false);

        const PairRecord& r = pairs[pair];
        for (int k = 1; k <= r.signalCount; ++k) {
            const int row = k + 4;
            if (k > numbered) {
                book.write(row, 1, k, f);
                numbered = k;
            }
            const quint16 code = r.signalFreq[k - 1];
            const quint8 m = mark ? mark(code) : 0;
            if (m == 1)
                setStyle(f, BookGreen, true, false);
            else if (m == 2)
                setStyle(f, BookRed, true, false);
            book.write(row, c, QString::asprintf("%.3f MHz", code / 100.0), f);
            setStyle(f, Black, false, false);
            book.write(row, c + 1, QString::number(r.signalLevel[k - 1]) + " dB", f);
            book.write(row, c + 2, QString::number(r.occurrence[k - 1]), f);
        }
        if (r.signalCount == 0)
            groupNote(book, 5, c,
                      (r.dataFlags & DataFlag::wrxValid) ? tr("Nothing found!") : tr("Search not performed!"),
                      f);
        c += 3;
    }
    return book;
}

Xlsx::Document reflDefectsBook(const SwitchRows& rows, const PairStore& pairs, const QList<int>& taken,
                               float factor)
{
    Xlsx::Document book;
    Format f;
    titleFormat(f);
    book.write(1, 1, tr("REFL: Defects table"), f);
    f.setFontSize(13);
    book.write(2, 1, factorLine(factor), f);
    tableFormat(f);

    int c = 1;
    for (int pair : taken) {
        pairNameStyle(f, rows[pair].name.colour);
        groupHead(book, 3, c, rows[pair].name.text,
                  {{tr("No."), 7}, {tr("Distance", "в excel"), 10}, {tr("Level", "в excel"), 7}}, f);

        const PairRecord& r = pairs[pair];
        const quint8 n = r.refl.status;
        if (!(r.dataFlags & DataFlag::reflValid)) {
            groupNote(book, 5, c, tr("No data"), f);
        } else if (isDefectCount(n)) {
            setStyle(f, Black, false, false);
            for (int k = 1; k <= n; ++k) {
                book.write(k + 4, c, k, f);
                book.write(k + 4, c + 1, QString::asprintf("%.1f m", r.refl.defectDistance[k - 1] / 10.0), f);
                book.write(k + 4, c + 2, QString::number(r.refl.defectLevel[k - 1]) + " dB", f);
            }
        } else if (n != 0) {
            reflNote(book, 5, c, n, f);
        }
        c += 3;
    }
    return book;
}

Xlsx::Document reflCompareBook(const ReflComparison& in)
{
    Xlsx::Document book;
    Format f;
    titleFormat(f);
    book.write(1, 1, tr("REFL: Comparison on pair ") + in.pair, f);
    f.setFontSize(13);
    book.write(2, 1, factorLine(in.factor), f);
    f.setFontSize(12);
    f.setFontColor(BookRed);
    book.write(3, 1, in.message, f);
    tableFormat(f);

    struct Set {
        int column;
        QString head;
        quint8 status;
        const DefectRows* rows;
    };
    const Set sets[2] = {{4, tr("Current data (") + in.pair + ")", in.currentStatus, &in.current},
                         {7, tr(" From file (") + in.pair + ") ", in.fileStatus, &in.file}};
    for (const Set& s : sets) {
        const int c = s.column;
        setStyle(f, Black, true, false);
        groupHead(book, 4, c, s.head, {{tr("No."), 8}, {tr("Distance", "в excel"), 12}, {tr("Level", "в excel"), 10}},
                  f);

        if (!in.currentValid) {
            groupNote(book, 6, c, tr("No data"), f);
        } else if (isDefectCount(s.status)) {
            for (int k = 1; k <= s.status && k <= s.rows->size(); ++k) {
                const QVector<TextCell>& cells = (*s.rows)[k - 1];
                setStyle(f, Black, false, false);
                book.write(k + 5, c, cells.value(0).text, f);
                measuredStyle(f, cells.value(1).colour, true);
                book.write(k + 5, c + 1, cells.value(1).text, f);
                measuredStyle(f, cells.value(2).colour, true);
                book.write(k + 5, c + 2, cells.value(2).text, f);
            }
        } else if (s.status != 0) {
            reflNote(book, 6, c, s.status, f);
        }
    }
    return book;
}

} // namespace Report
