#include "signalbook.h"

#include "pairs/pairstore.h"

#include <utility>

namespace Wrx
{
namespace
{
constexpr int EntriesPerBlock = 30;

quint8 byteAt(const QByteArray& d, int i)
{
    return i < d.size() ? quint8(d.at(i)) : 0;
}

bool searched(const PairRecord& r)
{
    return (r.dataFlags & DataFlag::wrxValid) != 0;
}

bool outOfOrder(const PairRecord& r, int i, int mode)
{
    const int j = i + 1;
    switch (mode) {
    case ByLevel:
        return r.signalLevel[std::size_t(i)] < r.signalLevel[std::size_t(j)];
    case ByOccurrence:
        return r.occurrence[std::size_t(i)] > r.occurrence[std::size_t(j)];
    default:
        return r.signalFreq[std::size_t(i)] > r.signalFreq[std::size_t(j)];
    }
}
} // namespace

bool takeSearchBlock(PairStore& pairs, int pair, const QByteArray& data)
{
    if (pair < 1 || pair > PairCount)
        return false;
    PairRecord& r = pairs[pair];
    const int n = byteAt(data, 2); // a byte: never above MaxSignals
    const int first = EntriesPerBlock * byteAt(data, 3);
    r.signalCount = quint8(n);
    int s = first;
    for (int j = 0; j < EntriesPerBlock && s < n; ++j, ++s) {
        const int at = 4 + 3 * j;
        r.signalFreq[std::size_t(s)] = quint16(byteAt(data, at) | (byteAt(data, at + 1) << 8));
        r.signalLevel[std::size_t(s)] = byteAt(data, at + 2);
        r.occurrence[std::size_t(s)] = 1;
    }
    if (s < n)
        return false;
    r.dataFlags |= DataFlag::wrxValid;
    r.uniqueCount = 0;
    if (n > 0)
        countOccurrences(pairs, pair);
    return true;
}

void countOccurrences(PairStore& pairs, int pair)
{
    PairRecord& r = pairs[pair];
    r.uniqueCount = 0;
    for (int k = 0; k < r.signalCount; ++k) {
        const quint16 code = r.signalFreq[std::size_t(k)];
        int j = 1;
        for (int p = 1; p <= PairCount; ++p) {
            const PairRecord& o = pairs[p];
            if (p == pair || !searched(o))
                continue;
            for (int m = 0; m < o.signalCount; ++m)
                j += o.signalFreq[std::size_t(m)] == code;
        }
        r.occurrence[std::size_t(k)] = quint8(std::min(j, 255));
        if (j == 1) {
            ++r.uniqueCount;
            continue;
        }
        // Other pairs' counts are only ever raised to the new count of a match.
        for (int p = 1; p <= PairCount; ++p) {
            PairRecord& o = pairs[p];
            if (p == pair || !searched(o))
                continue;
            for (int m = 0; m < o.signalCount; ++m)
                if (o.signalFreq[std::size_t(m)] == code)
                    o.occurrence[std::size_t(m)] = quint8(std::min(j, 255));
        }
    }
    for (int p = 1; p <= PairCount; ++p) {
        PairRecord& o = pairs[p];
        if (!searched(o) || o.signalCount == 0)
            continue;
        int unique = 0;
        for (int m = 0; m < o.signalCount; ++m)
            unique += o.occurrence[std::size_t(m)] == 1;
        o.uniqueCount = quint8(unique);
    }
}

int sortSignals(PairStore& pairs, int pair, int mode, int selectedPair, int selected)
{
    for (int p = 1; p <= PairCount; ++p) {
        if (pair != 0 && p != pair)
            continue;
        PairRecord& r = pairs[p];
        if (!searched(r) || r.signalCount < 2)
            continue;
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (int i = 0; i + 1 < r.signalCount; ++i) {
                if (!outOfOrder(r, i, mode))
                    continue;
                std::swap(r.signalFreq[std::size_t(i)], r.signalFreq[std::size_t(i + 1)]);
                std::swap(r.signalLevel[std::size_t(i)], r.signalLevel[std::size_t(i + 1)]);
                std::swap(r.occurrence[std::size_t(i)], r.occurrence[std::size_t(i + 1)]);
                swapped = true;
                if (p == selectedPair) {
                    if (selected == i)
                        selected = i + 1;
                    else if (selected == i + 1)
                        selected = i;
                }
            }
        }
    }
    return selected;
}

TableShape tableShape(int n, QSize size)
{
    TableShape t;
    const int h = size.height() - 18;
    t.rowHeight = h / 13;
    t.headerHeight = h - 12 * t.rowHeight;
    t.unit = (size.width() - 700) / 60;
    t.spacer = (size.width() - 700) / 180 + 8;
    if (n <= 0)
        return t;
    t.groups = n / SignalsPerGroup + (n % SignalsPerGroup ? 1 : 0);
    t.rows = t.groups > 1 ? 13 : n + 1;
    t.columns = GroupColumns * t.groups - 1;
    return t;
}

int signalAt(int row, int col)
{
    if (row < 1 || row > SignalsPerGroup || col < 0 || (col + 1) % GroupColumns == 0)
        return -1;
    return row + SignalsPerGroup * (col / GroupColumns) - 1;
}

SearchScan::Action SearchScan::step(int event, bool scanning, int currentPair)
{
    if (event == Stopped) {
        m_state = 0;
        m_lastPair = 255;
        return Action::Restore;
    }
    if (!scanning) {
        m_state = 0;
        m_lastPair = 255;
        return Action::None;
    }
    if (m_state == 0 && event == NewPair) {
        m_state = 1;
        return Action::Sweep;
    }
    if (m_state == 1 && event == Spectrum && currentPair != m_lastPair) {
        m_state = 2;
        m_lastPair = currentPair;
        return Action::None;
    }
    if (m_state == 2 && event == Spectrum) {
        m_state = 3;
        return Action::Find;
    }
    if (m_state == 3 && event == Tabulated) {
        m_state = 0;
        return Action::Next;
    }
    return Action::None;
}

} // namespace Wrx
