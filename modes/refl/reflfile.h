#pragma once

#include "pairs/pairstore.h"

#include <QByteArray>
#include <QString>
#include <array>

class QIODevice;

namespace Refl
{

// The REFL data of the last .refl file opened, per pair 1..36 (index = pair number).
struct ReflFileData {
    float fileFactor = 0;
    std::array<quint8, PairCount + 1> fileStatus; // as ReflPairData::status, plus 251 = pair excluded
    std::array<std::array<quint16, ReflDefects>, PairCount + 1> fileDefectDistance{};
    std::array<std::array<quint16, ReflDefects>, PairCount + 1> fileDefectLevel{};
    std::array<std::array<quint8, ReflSamples>, PairCount + 1> fileTrace{};

    ReflFileData();
};

extern const char* const Magic;
// Files whose factor differs from the current one by this much are refused.
constexpr double FactorMatch = 0.05;

// The whole .refl file: magic, factor, the 36 pair records and the comment.
QByteArray encodeFile(float factor, const PairStore& pairs, const QString& comment);

enum class LoadResult { Loaded, NotReflFile, FactorMismatch };

// Reads a .refl file into `data`. Only fileFactor changes unless the magic and the factor pass.
// What a truncated file lacks reads as zeros; a record with 11..249 defects is read whole (so the
// records after it stay in place), its first 10 kept and its status taken as 10.
LoadResult readFile(QIODevice& in, float currentFactor, ReflFileData& data, QString* comment);

// The refusal of a file with another factor, as the "Error" box shows it.
QString factorMismatchText(float current, float file);

} // namespace Refl
