#pragma once

#include <QRect>

// Where resizing puts the absolutely placed widgets. Rectangles are built from inclusive corners.
namespace Geometry
{

inline QRect box(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Width of the right-hand pair panel for a content width.
int pairPanelWidth(int contentWidth);

struct Main {
    int panelLeft; // P
    QRect whole, pairPanel, tabWidget, cbLang, label3, swSet, scanAll, butClear, addRep, reportTable;
    QRect repWind[4];
    QRect cableSwitch;
};
Main mainLayout(int W, int H);

// The NLJD tab controls and the progress bars, from the tab widget's size.
struct ModeTabs {
    QRect progress, nldDisplay, label9, label10, label8, scale, slider, label20;
    QRect nldSave, nldComp, nldLoad, nldInfo, nldErr;
};
ModeTabs modeTabLayout(int tabWidth, int tabHeight);

QRect nldFileRect(const QRect& nldSave);
QRect refFileRect(int tabWidth, const QRect& refSave);

// A REFL defect table inside its group box: 12 rows, row 0 takes the remainder of the height.
struct DefectTable {
    QRect table;
    int rowHeight, firstRowHeight;
    int col0, col1, col2;
};
DefectTable defectTableLayout(int groupWidth, int groupHeight);

// The four legend labels at the top right of the reflectogram: label_26, label_25, label_23, label_24.
struct Legend {
    QRect swatch1, text1, swatch2, text2;
};
Legend legendLayout(int plotWidth);

} // namespace Geometry
