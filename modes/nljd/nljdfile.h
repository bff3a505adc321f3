#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

class PairStore;
class QIODevice;

// The values of a loaded .nljd file, indexed by pair number 1..36 (index 0 unused).
struct NljdFileData {
    // Probing level index, or Excluded / NoData for pairs saved without a reading.
    std::array<quint8, 37> fileLevel{};
    std::array<quint8, 37> fileHarm2{}; // 255 = more than 3 V
    std::array<quint8, 37> fileHarm3{};
};

namespace NljdFile
{
const QString Magic = QStringLiteral("847NLD");
constexpr quint8 Excluded = 255; // the pair was not enabled when saved
constexpr quint8 NoData = 254;   // the pair had no reading when saved
// The comment comes from a line edit, which holds at most 32767 characters.
constexpr qint64 MaxCommentLength = 32767;
// Magic, 36 records and the longest comment: anything larger is not one of our files.
constexpr qint64 MaxFileSize = 16 + 36 * 4 + 4 + 2 * MaxCommentLength;

// The whole file: magic, 36 four-byte records, comment.
QByteArray encode(const PairStore& pairs, const QString& comment);

enum class ReadResult { Ok, WrongMagic };
// A file that ends early gives zeros for what is missing. A wrong magic or a file larger than
// MaxFileSize leaves `data` untouched; no more than MaxFileSize + 1 bytes are ever read.
ReadResult read(QIODevice& in, NljdFileData& data, QString& comment);
} // namespace NljdFile
