#include "reflcompare.h"

#include "modes/refl/reflmessage.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>

namespace Refl
{

namespace
{
double rangeMetres(float factor)
{
    return 241.0 / double(factor) * 1.5;
}

bool isList(quint8 status)
{
    return status <= LastListStatus;
}

StatusDecision notCompared()
{
    return {};
}

StatusDecision decided(quint8 verdict)
{
    return {StatusDecision::Decided, verdict};
}

// File state against current state, for a file that holds no defect list.
StatusDecision fileStateAgainst(quint8 fs, quint8 cs)
{
    struct Row {
        quint8 file, current, verdict;
    };
    // Rows with a current defect list use LastListStatus as their current status.
    static const Row rows[] = {
        {NoDefects, LastListStatus, 9},   {NoDefects, Noise, 10},  {NoDefects, OverVoltage, 11},
        {Noise, LastListStatus, 3},       {Noise, OverVoltage, 7}, {Noise, NoDefects, 12},
        {OverVoltage, LastListStatus, 4}, {OverVoltage, Noise, 8}, {OverVoltage, NoDefects, 13},
    };
    const quint8 current = isList(cs) ? LastListStatus : cs;
    for (const Row& r : rows)
        if (r.file == fs && r.current == current)
            return decided(r.verdict);
    return notCompared();
}
} // namespace

int distanceTolerance(float factor)
{
    return int(rangeMetres(factor) * 2.25 / 51.2);
}

int traceWindow(float factor)
{
    // Not capped: at large factors the window runs past the trace, and the mean still divides by it.
    return int(ReflSamples / rangeMetres(factor) * 120);
}

StatusDecision decideByStatus(bool hasCurrent, quint8 fs, quint8 cs)
{
    if (fs == Excluded)
        return notCompared();
    if (!hasCurrent)
        return fs == NoData ? notCompared() : decided(NoCurrentData);
    if (fs == NoData)
        return decided(NoFileData);
    if (!isList(fs))
        return fileStateAgainst(fs, cs);
    switch (cs) {
    case Noise:
        return decided(5);
    case OverVoltage:
        return decided(6);
    case NoDefects:
        return decided(14);
    default:
        break;
    }
    if (!isList(cs))
        return notCompared();
    return {StatusDecision::CompareLists, Agree};
}

bool listsDiffer(int currentCount, const std::array<quint16, ReflDefects>& currentDistance,
                 const std::array<quint16, ReflDefects>& currentLevel, int fileCount,
                 const std::array<quint16, ReflDefects>& fileDistance,
                 const std::array<quint16, ReflDefects>& fileLevel, int tolerance, DefectMarks& marks)
{
    currentCount = std::min(currentCount, ReflDefects);
    fileCount = std::min(fileCount, ReflDefects);
    marks.fileDistance.fill(Differs);
    marks.fileLevel.fill(Matched);
    marks.currentDistance.fill(0);
    marks.currentLevel.fill(0);
    bool differ = false;
    for (int k = 0; k < currentCount; ++k) {
        int match = -1;
        for (int j = 0; j < fileCount && match < 0; ++j)
            if (std::abs(int(currentDistance[k]) - int(fileDistance[j])) <= tolerance)
                match = j;
        if (match < 0) {
            marks.currentDistance[k] = Differs;
            marks.currentLevel[k] = Matched;
            differ = true;
            continue;
        }
        marks.currentDistance[k] = marks.fileDistance[match] = Matched;
        const bool levelsDiffer = std::abs(int(currentLevel[k]) - int(fileLevel[match])) > LevelTolerance;
        marks.currentLevel[k] = marks.fileLevel[match] = levelsDiffer ? Differs : Matched;
        differ = differ || levelsDiffer;
    }
    return differ;
}

double meanTraceDifference(const std::array<quint8, ReflSamples>& current,
                           const std::array<quint8, ReflSamples>& file, int window)
{
    if (window <= 0)
        return 0;
    double sum = 0;
    for (int j = 0; j < std::min(window, ReflSamples); ++j) {
        const int a = current[j], b = file[j];
        if (a == 0 && b == 0)
            continue;
        sum += std::abs(a - b) / double(a + b);
    }
    return sum / window;
}

StatusDecision comparePair(const PairRecord& current, const FilePair& file, float factor, DefectMarks& marks)
{
    const bool has = current.dataFlags & DataFlag::reflValid;
    const StatusDecision byStatus = decideByStatus(has, file.status, current.refl.status);
    if (byStatus.kind != StatusDecision::CompareLists)
        return byStatus;
    const ReflPairData& c = current.refl;
    if (listsDiffer(c.status, c.defectDistance, c.defectLevel, file.status, file.defectDistance,
                    file.defectLevel, distanceTolerance(factor), marks))
        return decided(ListsDiffer);
    if (meanTraceDifference(c.trace, file.trace, traceWindow(factor)) > TraceDifference)
        return decided(GraphsDiffer);
    return decided(Agree);
}

QString verdictText(quint8 verdict)
{
    static const char* const texts[] = {
        "",
        QT_TRANSLATE_NOOP("MainWindow", "No data in the file for this pair!"),
        QT_TRANSLATE_NOOP("MainWindow", "No new measurements for this pair!"),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - the noise. In the current data - no."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - more than 3v. In the current data - no."),
        QT_TRANSLATE_NOOP("MainWindow", "In the current data - the noise. In the file - no."),
        QT_TRANSLATE_NOOP("MainWindow", "In the current data - more than 3v. In the file - no."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - the noise. In the current data - more than 3v."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - more than 3v. In the current data - the noise."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - no defects. In the current data - is."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - no defects. In the current data - the noise."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - no defects. In the current data - more than 3v."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - the noise. In the current data - no defects."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - more than 3v. In the current data - no defects."),
        QT_TRANSLATE_NOOP("MainWindow", "In the file - there are defects. In the current data - no defects."),
        QT_TRANSLATE_NOOP("MainWindow", "Different tables of defects!"),
        QT_TRANSLATE_NOOP("MainWindow", "Big differences in the graphs!"),
    };
    if (verdict == Agree || verdict >= std::size(texts))
        return QString();
    return QCoreApplication::translate("MainWindow", texts[verdict]);
}

} // namespace Refl
