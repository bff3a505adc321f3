// Writes the report workbooks for known pair data into a folder, for an independent reader to check.
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "reporting/workbooks.h"

#include <QDir>
#include <cstdio>

using namespace Report;

namespace
{
const QColor White(0xFFFFFF);
const QColor Grey(0xAAAAAA);
const QColor Twisted(160, 220, 255);
const QColor Red(0xFF5555);
const QColor Green(0x55FF55);

QString name(int pair)
{
    const PairWires w = pairWires(pair);
    return pair > 28 ? QString::number(w.a) + "-SH" : QString::number(w.a) + "-" + QString::number(w.b);
}

SwitchRows rows()
{
    SwitchRows r(PairCount + 1);
    for (int p = 1; p <= PairCount; ++p)
        r[p] = {{name(p), White}, {"0.1 v", White}, {"0.00 v", White}};
    r[1] = {{name(1), Twisted}, {"12.5 v", Red}, {"0.20 v", White}};
    r[2] = {{name(2), Grey}, {"", White}, {"", White}};
    r[3] = {{name(3), White}, {"0.0 v", Green}, {"5.00 v", Red}};
    return r;
}

void setSignals(PairRecord& r, const QList<QList<int>>& list)
{
    r.signalCount = quint8(list.size());
    for (int k = 0; k < list.size(); ++k) {
        r.signalFreq[k] = quint16(list[k][0]);
        r.signalLevel[k] = quint16(list[k][1]);
        r.occurrence[k] = quint8(list[k][2]);
    }
}

bool save(const Xlsx::Document& d, const QString& dir, const char* file)
{
    const bool ok = d.saveAs(dir + "/" + file);
    if (!ok)
        std::fprintf(stderr, "could not write %s\n", file);
    return ok;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    const SwitchRows r = rows();

    PairStore pairs;
    pairs.fillWires();
    setSignals(pairs[1], {{1234, 40, 3}, {500, 22, 1}});
    setSignals(pairs[4], {{9000, 17, 1}});
    pairs[3].dataFlags |= DataFlag::wrxValid;
    const auto mark = [](quint16 code) -> quint8 { return code == 1234 ? 1 : code == 500 ? 2 : 0; };

    auto defects = [&](int pair, quint8 status, QList<QPair<int, int>> list) {
        ReflPairData& d = pairs[pair].refl;
        pairs[pair].dataFlags |= DataFlag::reflValid;
        d.status = status;
        for (int k = 0; k < list.size(); ++k) {
            d.defectDistance[k] = quint16(list[k].first);
            d.defectLevel[k] = quint16(list[k].second);
        }
    };
    defects(1, 2, {{153, 12}, {2000, 30}});
    defects(3, 252, {});
    defects(5, 253, {});

    ReflComparison c;
    c.pair = "1-2";
    c.factor = 1.5f;
    c.message = "Differences found";
    c.currentValid = true;
    c.currentStatus = 2;
    c.fileStatus = 252;
    c.current = {{{"1", White}, {"15.3 m", Red}, {"12 dB", Green}},
                 {{"2", White}, {"200.0 m", White}, {"30 dB", White}}};
    ReflComparison none = c;
    none.currentValid = false;

    bool ok = save(lfaSwitchBook(r), dir, "lfa_sw.xlsx");
    ok &= save(wrxSwitchBook(r), dir, "wrx_sw.xlsx");
    ok &= save(wrxSignalBook(r, pairs, bookPairs(r, true, 5), mark), dir, "wrx_signal_all.xlsx");
    ok &= save(wrxSignalBook(r, pairs, bookPairs(r, false, 5), mark), dir, "wrx_signal_one.xlsx");
    ok &= save(reflDefectsBook(r, pairs, bookPairs(r, true, 0), 1.5f), dir, "refl_def_all.xlsx");
    ok &= save(reflCompareBook(c), dir, "refl_comp.xlsx");
    ok &= save(reflCompareBook(none), dir, "refl_comp_nodata.xlsx");
    return ok ? 0 : 1;
}
