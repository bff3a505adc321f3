#include "cablemodel.h"

#include "simrandom.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
// How many pairs carry each kind of trouble: enough to find, few enough to stand out.
constexpr int FaultPairs = 4;
constexpr int JunctionPairs = 3;
constexpr int VoltagePairs = 4;
constexpr int NoisyPairs = 5;
constexpr int CarrierPairs = 4;
constexpr int MaxCarriersPerPair = 3;

double roundTo(double v, double step)
{
    return std::round(v / step) * step;
}

// Pair indices 1..36 in an order drawn from the generator.
std::array<int, CableModel::PairCount> shuffledPairs(SimRandom& rng)
{
    std::array<int, CableModel::PairCount> order;
    std::iota(order.begin(), order.end(), 1);
    for (int i = CableModel::PairCount - 1; i > 0; --i)
        std::swap(order[i], order[rng.below(quint32(i + 1))]);
    return order;
}
} // namespace

int CableModel::pairIndex(int a, int b)
{
    if (a > b)
        std::swap(a, b);
    if (a < 1 || a == b || b > Shield)
        return 0;
    if (b == Shield)
        return 28 + a;
    return (a - 1) * 8 - (a - 1) * a / 2 + (b - a);
}

CableModel::CableModel(quint32 seed) : m_seed(seed)
{
    SimRandom rng(seed);
    m_lengthM = std::round(rng.uniform(300, MaxLengthM));

    auto faultAt = [&](LineFault::Kind kind) {
        return LineFault{kind, roundTo(rng.uniform(5, std::min(m_lengthM, FaultReachM) - 5), 0.1)};
    };
    auto anyKind = [&] { return rng.chance(50) ? LineFault::Kind::Open : LineFault::Kind::Short; };

    auto order = shuffledPairs(rng);
    // Every cable has at least one open and one short; the first pair also gets a second fault further on.
    for (int i = 0; i < FaultPairs; ++i) {
        const LineFault::Kind kind = i == 0   ? LineFault::Kind::Open
                                     : i == 1 ? LineFault::Kind::Short
                                              : anyKind();
        m_pairs[order[i]].faults.append(faultAt(kind));
    }
    m_pairs[order[0]].faults.append(faultAt(anyKind()));
    for (PairData& p : m_pairs)
        std::sort(p.faults.begin(), p.faults.end(),
                  [](const LineFault& x, const LineFault& y) { return x.distanceM < y.distanceM; });

    order = shuffledPairs(rng);
    for (int i = 0; i < JunctionPairs; ++i)
        m_pairs[order[i]].junction = roundTo(rng.uniform(0.15, 1.0), 0.01);

    order = shuffledPairs(rng);
    for (int i = 0; i < VoltagePairs; ++i) {
        LineVoltage& v = m_pairs[order[i]].voltage;
        if (i == 0) {
            // One line is live well above what the analyser may be connected to.
            v.dc = roundTo(rng.uniform(110, 180), 0.1) * (rng.chance(50) ? 1 : -1);
            v.ac = roundTo(rng.uniform(0, 5), 0.1);
        } else {
            // Peak at most 60 + 25 * 1.414, safely under the limit.
            v.dc = roundTo(rng.uniform(-60, 60), 0.1);
            v.ac = roundTo(rng.uniform(0.5, 25), 0.1);
        }
    }

    order = shuffledPairs(rng);
    for (int i = 0; i < NoisyPairs; ++i)
        m_pairs[order[i]].noiseMv = roundTo(rng.uniform(2, 40), 0.1);

    order = shuffledPairs(rng);
    for (int i = 0; i < CarrierPairs; ++i) {
        QList<Carrier>& list = m_pairs[order[i]].carriers;
        const int n = 1 + int(rng.below(MaxCarriersPerPair));
        for (int k = 0; k < n; ++k)
            list.append({quint16(MinFreqCode + rng.below(MaxFreqCode - MinFreqCode + 1)),
                         roundTo(rng.uniform(6, 55), 0.25)});
        std::sort(list.begin(), list.end(),
                  [](const Carrier& x, const Carrier& y) { return x.freqCode < y.freqCode; });
    }
}

const CableModel::PairData& CableModel::data(int a, int b) const
{
    return m_pairs[pairIndex(a, b)];
}

QList<LineFault> CableModel::faultsOf(int a, int b) const
{
    return data(a, b).faults;
}

double CableModel::junctionOf(int a, int b) const
{
    return data(a, b).junction;
}

LineVoltage CableModel::voltageOf(int a, int b) const
{
    return data(a, b).voltage;
}

double CableModel::peakVoltageOf(int a, int b) const
{
    const LineVoltage v = voltageOf(a, b);
    return std::abs(v.dc) + v.ac * std::sqrt(2.0);
}

bool CableModel::isOverVoltage(int a, int b) const
{
    return peakVoltageOf(a, b) > VoltageLimit;
}

double CableModel::noiseOf(int a, int b) const
{
    return data(a, b).noiseMv;
}

QList<Carrier> CableModel::carriersOf(int a, int b) const
{
    return data(a, b).carriers;
}
