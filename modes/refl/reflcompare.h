#pragma once

#include "pairs/pairstore.h"

#include <QString>
#include <array>

namespace Refl
{

// Distance tolerance in tenths of a metre and the number of trace samples that cover 120 m.
int distanceTolerance(float factor);
int traceWindow(float factor);

constexpr int LevelTolerance = 15;       // dB
constexpr double TraceDifference = 0.03; // mean relative difference above which graphs differ

// Verdict codes; 0 is agreement.
enum Verdict : quint8 {
    Agree = 0,
    NoFileData = 1,
    NoCurrentData = 2,
    ListsDiffer = 15,
    GraphsDiffer = 16,
};

// What the statuses alone decide: no comparison, a verdict, or a look at the lists and traces.
struct StatusDecision {
    enum Kind { NotCompared, Decided, CompareLists } kind = NotCompared;
    quint8 verdict = Agree;
};
StatusDecision decideByStatus(bool hasCurrent, quint8 fileStatus, quint8 currentStatus);

// Per defect: Matched, Differs, or 0 when not looked at.
constexpr quint8 Matched = 1;
constexpr quint8 Differs = 2;
struct DefectMarks {
    std::array<quint8, ReflDefects> currentDistance{}, currentLevel{};
    std::array<quint8, ReflDefects> fileDistance{}, fileLevel{};
};

// Matches each current defect with the first file defect within the tolerance; true when a current
// defect finds none or a matched pair's levels differ by more than LevelTolerance.
bool listsDiffer(int currentCount, const std::array<quint16, ReflDefects>& currentDistance,
                 const std::array<quint16, ReflDefects>& currentLevel, int fileCount,
                 const std::array<quint16, ReflDefects>& fileDistance,
                 const std::array<quint16, ReflDefects>& fileLevel, int tolerance, DefectMarks& marks);

// Mean of |a - b| / (a + b) over the first `window` samples (samples where both are 0 add nothing).
double meanTraceDifference(const std::array<quint8, ReflSamples>& current,
                           const std::array<quint8, ReflSamples>& file, int window);

// What the comparison needs of the file for one pair.
struct FilePair {
    quint8 status;
    const std::array<quint16, ReflDefects>& defectDistance;
    const std::array<quint16, ReflDefects>& defectLevel;
    const std::array<quint8, ReflSamples>& trace;
};

// The whole comparison of one pair; marks are filled when the lists were compared.
StatusDecision comparePair(const PairRecord& current, const FilePair& file, float factor, DefectMarks& marks);

// The refERR text of a verdict; empty for agreement.
QString verdictText(quint8 verdict);

} // namespace Refl
