#pragma once

#include <QByteArray>
#include <QSize>
#include <QtGlobal>

class PairStore;

// Signal lists of the pairs: search results, occurrence and unique counts, sorting; the shape of the
// signal table; and the steps of a scan of all pairs. No widgets here.
namespace Wrx
{

enum SortMode : quint8 { ByFrequency = 1, ByLevel = 2, ByOccurrence = 3 };

// Search results ("C" 1 or 2) for one pair. Returns true when the last signal of the list came in:
// the pair is then searched and its counts (and every other pair's) are brought up to date.
bool takeSearchBlock(PairStore& pairs, int pair, const QByteArray& data);
// Occurrence of the pair's signals on the other searched pairs, and every pair's unique count.
void countOccurrences(PairStore& pairs, int pair);
// Bubble sort of one pair's list (every pair for 0) by mode; the selected signal of the selected pair
// follows its swaps. Returns the selected signal's index afterwards.
int sortSignals(PairStore& pairs, int pair, int mode, int selectedPair, int selected);

// The signal table: groups of No., Freq., Level, Total and a spacer column, 12 signals a group.
struct TableShape {
    int groups = 0;
    int rows = 1;
    int columns = 1;
    int rowHeight = 0;
    int headerHeight = 0;
    int unit = 0;   // extra width of every column
    int spacer = 0; // width of a spacer column
};
constexpr int SignalsPerGroup = 12;
constexpr int GroupColumns = 5;
TableShape tableShape(int signalCount, QSize tableSize);
// Signal s lies in row s mod 12 + 1, columns from 5 (s div 12).
inline int signalRow(int s)
{
    return s % SignalsPerGroup + 1;
}
inline int signalColumn(int s)
{
    return GroupColumns * (s / SignalsPerGroup);
}
// -1 for a header row or a spacer column.
int signalAt(int row, int col);

// The WRx step of the scan of all pairs: sweep the new pair, wait for two spectrum blocks, search,
// move on once the results are tabulated.
class SearchScan
{
public:
    enum Event { NewPair = 0, Spectrum = 1, Tabulated = 2, Stopped = 5 };
    enum class Action { None, Sweep, Find, Next, Restore };
    Action step(int event, bool scanning, int currentPair);
    int state() const { return m_state; }

private:
    int m_state = 0;
    int m_lastPair = 255;
};

} // namespace Wrx
