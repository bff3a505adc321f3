#pragma once

#include <QColor>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QVector>

// A small writer of .xlsx workbooks with one worksheet. Cells, merges and widths are collected first
// and written in one go by saveAs, so a format is a plain value that may be changed freely between
// cells; the native formats are made only when the file is written, one per distinct value.
namespace Xlsx
{

class Format
{
public:
    enum HorizontalAlignment { AlignGeneral, AlignLeft, AlignHCenter };

    void setFontColor(const QColor& c) { m_fontColor = c; }
    void setFontSize(int size) { m_fontSize = size; }
    void setFontBold(bool on) { m_bold = on; }
    void setFontItalic(bool on) { m_italic = on; }
    void setHorizontalAlignment(HorizontalAlignment a) { m_align = a; }
    void setThinBorder(bool on) { m_border = on; }

    QColor fontColor() const { return m_fontColor; }
    int fontSize() const { return m_fontSize; }
    bool fontBold() const { return m_bold; }
    bool fontItalic() const { return m_italic; }
    HorizontalAlignment horizontalAlignment() const { return m_align; }
    bool thinBorder() const { return m_border; }
    bool isDefault() const { return *this == Format(); }

    bool operator==(const Format& o) const
    {
        return m_fontColor == o.m_fontColor && m_fontSize == o.m_fontSize && m_bold == o.m_bold &&
               m_italic == o.m_italic && m_align == o.m_align && m_border == o.m_border;
    }
    bool operator!=(const Format& o) const { return !(*this == o); }

private:
    QColor m_fontColor; // invalid: the default colour
    int m_fontSize = 0; // 0: the default size
    bool m_bold = false;
    bool m_italic = false;
    HorizontalAlignment m_align = AlignGeneral;
    bool m_border = false;
};

// Rows and columns counted from 1, both ends included.
struct CellRange {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;
};

class Document
{
public:
    // Strings are written as text, numbers as numbers.
    void write(int row, int column, const QVariant& value, const Format& format = Format());
    // The range shows the value of its top left cell; every cell of it takes the format.
    void mergeCells(const CellRange& range, const Format& format);
    void setColumnWidth(int column, double width);

    // What has been written so far (tests and callers that look back).
    QVariant read(int row, int column) const;
    Format cellFormat(int row, int column) const;
    const QVector<QPair<CellRange, Format>>& merges() const { return m_merges; }

    // Writes beside the target under a temporary name and renames it into place, so a failed write
    // never leaves a half-written file under the final name. False when nothing could be saved.
    bool saveAs(const QString& path) const;

private:
    struct Cell {
        QVariant value;
        Format format;
    };
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }

    QMap<quint64, Cell> m_cells;
    QVector<QPair<CellRange, Format>> m_merges;
    QMap<int, double> m_widths;
};

} // namespace Xlsx
