#include "xlsxdocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <utility>
#include <vector>
#include <xlsxwriter.h>

namespace Xlsx
{

namespace
{
lxw_color_t nativeColour(const QColor& c)
{
    const lxw_color_t rgb = c.rgb() & 0xFFFFFF;
    // Zero means "no colour" to the library; black has a code of its own.
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : rgb;
}

// One native format per distinct value: the library's formats must not change once used.
class FormatPool
{
public:
    explicit FormatPool(lxw_workbook* book) : m_book(book) {}

    lxw_format* operator()(const Format& f)
    {
        if (f.isDefault())
            return nullptr;
        for (const auto& entry : m_made)
            if (entry.first == f)
                return entry.second;
        lxw_format* n = workbook_add_format(m_book);
        if (f.fontColor().isValid())
            format_set_font_color(n, nativeColour(f.fontColor()));
        if (f.fontSize() > 0)
            format_set_font_size(n, f.fontSize());
        if (f.fontBold())
            format_set_bold(n);
        if (f.fontItalic())
            format_set_italic(n);
        if (f.horizontalAlignment() == Format::AlignLeft)
            format_set_align(n, LXW_ALIGN_LEFT);
        else if (f.horizontalAlignment() == Format::AlignHCenter)
            format_set_align(n, LXW_ALIGN_CENTER);
        if (f.thinBorder())
            format_set_border(n, LXW_BORDER_THIN);
        m_made.emplace_back(f, n);
        return n;
    }

private:
    lxw_workbook* m_book;
    std::vector<std::pair<Format, lxw_format*>> m_made;
};

void writeValue(lxw_worksheet* sheet, int row, int column, const QVariant& value, lxw_format* format)
{
    const lxw_row_t r = lxw_row_t(row - 1);
    const lxw_col_t c = lxw_col_t(column - 1);
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        worksheet_write_number(sheet, r, c, value.toDouble(), format);
        break;
    case QMetaType::UnknownType:
        worksheet_write_blank(sheet, r, c, format);
        break;
    default: {
        const QByteArray text = value.toString().toUtf8();
        if (text.isEmpty())
            worksheet_write_blank(sheet, r, c, format);
        else
            worksheet_write_string(sheet, r, c, text.constData(), format);
        break;
    }
    }
}

bool replaceFile(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    QFile::remove(to);
#endif
    // On POSIX systems the rename replaces the old file in one step.
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}
} // namespace

void Document::write(int row, int column, const QVariant& value, const Format& format)
{
    if (row < 1 || column < 1)
        return;
    m_cells[key(row, column)] = {value, format};
}

void Document::mergeCells(const CellRange& range, const Format& format)
{
    if (range.firstRow < 1 || range.firstColumn < 1 || range.lastRow < range.firstRow ||
        range.lastColumn < range.firstColumn)
        return;
    m_merges.append({range, format});
    // Every cell of the range takes the format; only the top left one keeps its value.
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
            Cell& cell = m_cells[key(r, c)];
            cell.format = format;
            if (r != range.firstRow || c != range.firstColumn)
                cell.value = QVariant();
        }
}

void Document::setColumnWidth(int column, double width)
{
    if (column >= 1)
        m_widths[column] = width;
}

QVariant Document::read(int row, int column) const
{
    return m_cells.value(key(row, column)).value;
}

Format Document::cellFormat(int row, int column) const
{
    return m_cells.value(key(row, column)).format;
}

bool Document::saveAs(const QString& path) const
{
    const QFileInfo target(path);
    const QString temporary = target.absolutePath() + "/." + target.fileName() + ".part";
    lxw_workbook* book = workbook_new(QFile::encodeName(temporary).constData());
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    FormatPool pool(book);

    for (auto w = m_widths.cbegin(); w != m_widths.cend(); ++w)
        worksheet_set_column(sheet, lxw_col_t(w.key() - 1), lxw_col_t(w.key() - 1), w.value(), nullptr);
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it)
        writeValue(sheet, int(it.key() >> 32), int(it.key() & 0xFFFFFFFF), it.value().value,
                   pool(it.value().format));
    for (const auto& m : m_merges) {
        const CellRange& r = m.first;
        lxw_format* f = pool(m.second);
        if (r.firstRow != r.lastRow || r.firstColumn != r.lastColumn)
            worksheet_merge_range(sheet, lxw_row_t(r.firstRow - 1), lxw_col_t(r.firstColumn - 1),
                                  lxw_row_t(r.lastRow - 1), lxw_col_t(r.lastColumn - 1), "", f);
        writeValue(sheet, r.firstRow, r.firstColumn, read(r.firstRow, r.firstColumn), f);
    }

    const bool written = workbook_close(book) == LXW_NO_ERROR;
    if (written && replaceFile(temporary, path))
        return true;
    QFile::remove(temporary);
    return false;
}

} // namespace Xlsx
