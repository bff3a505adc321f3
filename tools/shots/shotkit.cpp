#include "shotkit.h"

#include "pairs/pairnumbering.h"
#include "sim/cablemodel.h"
#include "sim/mode_wrx.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

namespace Shots
{
int pairWithMains(const CableModel& cable)
{
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires wires = pairWires(p);
        if (cable.voltageOf(wires.a, wires.b).ac > 0 && !cable.isOverVoltage(wires.a, wires.b))
            return p;
    }
    return 1;
}

static int carriersOn(const CableModel& cable, int pair)
{
    const PairWires w = pairWires(pair);
    return WrxMode::heardOn(cable, w.a, w.b).size();
}

int pairWithCarriers(const CableModel& cable)
{
    int best = 1;
    for (int p = 1; p <= PairCount; ++p)
        if (carriersOn(cable, p) > carriersOn(cable, best))
            best = p;
    return best;
}

int pairWithoutCarriers(const CableModel& cable)
{
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        if (carriersOn(cable, p) == 0 && !cable.isOverVoltage(w.a, w.b))
            return p;
    }
    return PairCount;
}

int pairWithJunction(const CableModel& cable)
{
    int best = 1;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p), b = pairWires(best);
        if (!cable.isOverVoltage(w.a, w.b) && cable.junctionOf(w.a, w.b) > cable.junctionOf(b.a, b.b))
            best = p;
    }
    return best;
}

int pairWithNearFault(const CableModel& cable)
{
    int best = 0;
    double nearest = 1e9;
    for (int p = 1; p <= PairCount; ++p) {
        const PairWires w = pairWires(p);
        const QList<LineFault> f = cable.faultsOf(w.a, w.b);
        const LineVoltage v = cable.voltageOf(w.a, w.b);
        if (f.isEmpty() || cable.noiseOf(w.a, w.b) > 0 || v.dc != 0 || v.ac != 0 || f[0].distanceM >= nearest)
            continue;
        nearest = f[0].distanceM;
        best = p;
    }
    return best;
}

void waitMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void save(QWidget& w, const QString& dir, const QString& name)
{
    w.grab().save(QStringLiteral("%1/%2.png").arg(dir, name));
}
} // namespace Shots
