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
// The comment comes from a line edit, which holds at most 32767 characters.
constexpr qint64 MaxCommentLength = 32767;
// Magic, factor, 36 records of the most entries a status byte can announce, and the longest comment:
// anything larger is not one of our files.
constexpr qint64 MaxFileSize = 16 + 4 + 36 * (2 + 249 * 4 + ReflSamples) + 4 + 2 * MaxCommentLength;

// The whole .refl file: magic, factor, the 36 pair records and the comment.
QByteArray encodeFile(float factor, const PairStore& pairs, const QString& comment);

enum class LoadResult { Loaded, NotReflFile, FactorMismatch };

// Reads a .refl file into `data`. Only fileFactor changes unless the magic and the factor pass.
// What a truncated file lacks reads as zeros; a record with 11..249 defects is read whole (so the
// records after it stay in place), its first 10 kept and its status taken as 10. A file larger than
// MaxFileSize is refused as NotReflFile with `data` untouched; no more than MaxFileSize + 1 bytes
// are ever read.
LoadResult readFile(QIODevice& in, float currentFactor, ReflFileData& data, QString* comment);

// The refusal of a file with another factor, as the "Error" box shows it.
QString factorMismatchText(float current, float file);

} // namespace Refl
