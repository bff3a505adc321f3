#include "nljdfile.h"

#include "pairs/pairstore.h"

#include <QDataStream>
#include <QIODevice>

namespace NljdFile
{
namespace
{
// Record flags as the file stores them.
constexpr qint8 FlagExcluded = -1;
constexpr qint8 FlagValid = 1;
constexpr qint8 FlagNoData = -2;

void prepare(QDataStream& s)
{
    s.setByteOrder(QDataStream::LittleEndian);
    s.setFloatingPointPrecision(QDataStream::SinglePrecision);
}
} // namespace

QByteArray encode(const PairStore& pairs, const QString& comment)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << Magic;
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& r = pairs[p];
        const qint8 flag = r.excluded                            ? FlagExcluded
                           : (r.dataFlags & DataFlag::nljdValid) ? FlagValid
                                                                 : FlagNoData;
        s << flag << qint8(r.nljd.level) << qint8(r.nljd.harm2) << qint8(r.nljd.harm3);
    }
    s << comment;
    return bytes;
}

ReadResult read(QIODevice& in, NljdFileData& data, QString& comment)
{
    const QByteArray bytes = in.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize)
        return ReadResult::WrongMagic;
    QDataStream s(bytes);
    prepare(s);
    QString magic;
    s >> magic;
    if (magic != Magic)
        return ReadResult::WrongMagic;
    // Reads past the end give zeros, which is what a short file means.
    NljdFileData loaded;
    for (int p = 1; p <= PairCount; ++p) {
        qint8 f = 0, l = 0, h2 = 0, h3 = 0;
        s >> f >> l >> h2 >> h3;
        loaded.fileLevel[p] = quint8(f) > 250 ? quint8(f) : quint8(l);
        loaded.fileHarm2[p] = quint8(h2);
        loaded.fileHarm3[p] = quint8(h3);
    }
    QString text;
    s >> text;
    data = loaded;
    comment = text;
    return ReadResult::Ok;
}

} // namespace NljdFile
