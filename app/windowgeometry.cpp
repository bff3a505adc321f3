#include "windowgeometry.h"

#include <algorithm>

namespace Geometry
{

int pairPanelWidth(int contentWidth)
{
    return std::max(contentWidth / 5 + 20, 261);
}

Main mainLayout(int W, int H)
{
    Main m;
    const int P = W - pairPanelWidth(W);
    m.panelLeft = P;
    m.whole = box(0, 0, W - 1, H - 1);
    m.pairPanel = box(P, 30, W - 1, H - 13);
    m.tabWidget = box(0, 2, P - 1, H - 13);
    m.cbLang = box(W - 101, 4, W - 1, 26);
    m.label3 = box(P + 3, 6, P + 63, 25);
    m.swSet = box(P + 60, 4, P + 83, 27);
    m.scanAll = box(P + 90, 4, P + 150, 27);
    m.butClear = box(P - 102, 4, P - 2, 27);
    m.addRep = box(P - 220, 4, P - 110, 27);
    m.reportTable = box(4, 0, P - 7, H - 156);
    const int bottoms[4] = {119, 139, 99, 139};
    for (int i = 0; i < 4; ++i)
        m.repWind[i] = box(P - 1 - 300, 29, P - 1, bottoms[i]);
    m.cableSwitch = box(P - 350, 29, P - 1, 358);
    return m;
}

ModeTabs modeTabLayout(int tabWidth, int tabHeight)
{
    const int TW = tabWidth - 1, TH = tabHeight - 1;
    const int a = TW - 5;
    const int b = 2 * a / 9;
    const int c = (a - b) / 2;
    const int q = a / 9;
    const int t = (TH - 28) / 21;
    const int d = 3 * ((TH - 28) / 4);
    const int L = c - 15;
    const int E = L + b;
    const int Y = t + d;
    ModeTabs m;
    m.progress = box(a / 16, TH - 108, a / 16 + 7 * a / 8 - 1, TH - 86);
    m.nldDisplay = box(L, t, E - 1, Y - 1);
    m.label9 = box(L, Y + 5, L + q - 1, Y + 24);
    m.label10 = box(L + q, Y + 5, L + 2 * q - 1, Y + 24);
    m.label8 = box(L, Y + 27, E - 1, Y + 46);
    m.scale = box(c - 65, t, c - 16, Y - 2);
    m.slider = box(E + 10, t, E + 70, Y - 1);
    m.label20 = box(E + 10, Y + 5, E + 90, Y + 24);
    m.nldSave = box(E + 110, t, E + 260, t + 22);
    m.nldComp = box(E + 110, t + 30, E + 230, t + 52);
    m.nldLoad = box(E + 230, t + 30, E + 260, t + 52);
    m.nldInfo = box(E + 110, t + 60, E + 270, t + 170);
    m.nldErr = box(L, Y + 57, E - 1, Y + 117);
    return m;
}

QRect nldFileRect(const QRect& s)
{
    return box(s.left() - 421, s.top() + 31, s.left() - 1, s.top() + 101);
}

QRect refFileRect(int tabWidth, const QRect& refSave)
{
    const int left = (tabWidth - 1 - 426) / 2;
    return box(left, refSave.top() + 59, left + 420, refSave.top() + 129);
}

DefectTable defectTableLayout(int groupWidth, int groupHeight)
{
    const int W1 = groupWidth - 1, H1 = groupHeight - 1;
    DefectTable t;
    t.table = box(3, 30, W1 - 3, H1 - 3);
    t.rowHeight = (H1 - 34) / 12;
    t.firstRowHeight = t.rowHeight + (H1 - 34) % 12;
    const int w = W1 - 7;
    t.col0 = w / 4;
    t.col2 = w / 3;
    t.col1 = w - t.col0 - t.col2;
    return t;
}

Legend legendLayout(int plotWidth)
{
    const int G = plotWidth - 1;
    return {box(G - 80, 10, G - 65, 29), box(G - 56, 10, G - 6, 29), box(G - 80, 30, G - 65, 49),
            box(G - 56, 30, G - 6, 49)};
}

} // namespace Geometry
