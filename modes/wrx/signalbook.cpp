#include "signalbook.h"

#include "pairs/pairstore.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <numeric>

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
    // How often each of the pair's codes occurs on the other searched pairs. A bit per code rejects
    // the others' codes that are not ours; ours are counted in a small hash table. All of it lives on
    // the stack, so that a search leaves nothing behind on the heap.
    PairRecord& r = pairs[pair];
    std::bitset<1 << 16> isOurs;
    constexpr std::size_t Slots = 512; // more than twice MaxSignals: short probes
    std::array<quint16, Slots> key;
    std::array<int, Slots> count;
    count.fill(-1); // -1: free
    auto slot = [&](quint16 code) {
        std::size_t i = (code * 40503u >> 7) & (Slots - 1);
        while (count[i] >= 0 && key[i] != code)
            i = (i + 1) & (Slots - 1);
        return i;
    };
    for (int k = 0; k < r.signalCount; ++k) {
        const quint16 code = r.signalFreq[std::size_t(k)];
        isOurs.set(code);
        const std::size_t i = slot(code);
        key[i] = code;
        count[i] = 0;
    }
    auto eachShared = [&pairs, pair, &isOurs](auto&& visit) {
        for (int p = 1; p <= PairCount; ++p) {
            PairRecord& o = pairs[p];
            if (p == pair || !searched(o))
                continue;
            for (int m = 0; m < o.signalCount; ++m)
                if (isOurs.test(o.signalFreq[std::size_t(m)]))
                    visit(o.signalFreq[std::size_t(m)], o.occurrence[std::size_t(m)]);
        }
    };
    eachShared([&](quint16 code, quint8&) { ++count[slot(code)]; });
    auto occurrence = [&](quint16 code) { return quint8(std::min(1 + count[slot(code)], 255)); };
    for (int k = 0; k < r.signalCount; ++k)
        r.occurrence[std::size_t(k)] = occurrence(r.signalFreq[std::size_t(k)]);
    // Other pairs' counts are only ever raised to the new count of a match.
    eachShared([&](quint16 code, quint8& o) { o = occurrence(code); });

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
        const int n = r.signalCount;
        if (!searched(r) || n < 2)
            continue;
        // A stable sort orders exactly as repeated bubble passes do, in far fewer steps.
        std::array<int, MaxSignals> order{};
        std::iota(order.begin(), order.begin() + n, 0);
        std::stable_sort(order.begin(), order.begin() + n, [&r, mode](int a, int b) {
            switch (mode) {
            case ByLevel:
                return r.signalLevel[std::size_t(a)] > r.signalLevel[std::size_t(b)];
            case ByOccurrence:
                return r.occurrence[std::size_t(a)] < r.occurrence[std::size_t(b)];
            default:
                return r.signalFreq[std::size_t(a)] < r.signalFreq[std::size_t(b)];
            }
        });
        const PairRecord before = r;
        for (int i = 0; i < n; ++i) {
            const std::size_t from = std::size_t(order[std::size_t(i)]);
            r.signalFreq[std::size_t(i)] = before.signalFreq[from];
            r.signalLevel[std::size_t(i)] = before.signalLevel[from];
            r.occurrence[std::size_t(i)] = before.occurrence[from];
            if (p == selectedPair && int(from) == selected && selected < n) {
                selected = i;
                selectedPair = -1; // found: later positions must not match again
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
