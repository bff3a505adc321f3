#include "reflfile.h"

#include "modes/refl/reflmessage.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <algorithm>
#include <cmath>

namespace Refl
{

const char* const Magic = "847REF";

namespace
{
constexpr qint8 ExcludedFlag = -5;
constexpr qint8 DataFlagOn = 1;
constexpr qint8 NoDataFlag = 0;

void prepare(QDataStream& s)
{
    s.setByteOrder(QDataStream::LittleEndian);
    s.setFloatingPointPrecision(QDataStream::SinglePrecision);
}

qint8 flagOf(const PairRecord& r)
{
    if (r.excluded)
        return ExcludedFlag;
    return (r.dataFlags & DataFlag::reflValid) ? DataFlagOn : NoDataFlag;
}

void writeRecord(QDataStream& s, const PairRecord& r)
{
    const qint8 flag = flagOf(r);
    const quint8 status = r.refl.status;
    s << flag << qint8(status);
    if (flag != DataFlagOn || status > LastListStatus)
        return;
    // The status byte says how many entries follow; the store holds no more than ten.
    for (int k = 0; k < status; ++k) {
        const bool held = k < ReflDefects;
        s << qint16(held ? r.refl.defectDistance[k] : 0) << qint16(held ? r.refl.defectLevel[k] : 0);
    }
    for (quint8 v : r.refl.trace)
        s << qint8(v);
}

void readRecord(QDataStream& s, ReflFileData& data, int pair)
{
    qint8 flag = 0, status = 0;
    s >> flag >> status;
    quint8& fileStatus = data.fileStatus[pair];
    fileStatus = quint8(status);
    if (flag == NoDataFlag) {
        fileStatus = NoData;
        return;
    }
    if (flag == ExcludedFlag) {
        fileStatus = Excluded;
        return;
    }
    if (fileStatus > LastListStatus)
        return;
    for (int k = 0; k < fileStatus; ++k) {
        qint16 distance = 0, level = 0;
        s >> distance >> level;
        if (k < ReflDefects) {
            data.fileDefectDistance[pair][k] = quint16(distance);
            data.fileDefectLevel[pair][k] = quint16(level);
        }
    }
    fileStatus = std::min<quint8>(fileStatus, ReflDefects);
    for (quint8& v : data.fileTrace[pair]) {
        qint8 sample = 0;
        s >> sample;
        v = quint8(sample);
    }
}
} // namespace

ReflFileData::ReflFileData()
{
    fileStatus.fill(NoData);
}

QByteArray encodeFile(float factor, const PairStore& pairs, const QString& comment)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << QString::fromLatin1(Magic) << factor;
    for (int p = 1; p <= PairCount; ++p)
        writeRecord(s, pairs[p]);
    s << comment;
    return bytes;
}

LoadResult readFile(QIODevice& in, float currentFactor, ReflFileData& data, QString* comment)
{
    const QByteArray bytes = in.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize)
        return LoadResult::NotReflFile;
    QDataStream s(bytes);
    prepare(s);
    QString magic;
    float factor = 0;
    s >> magic >> factor;
    data.fileFactor = factor;
    if (magic != QLatin1String(Magic))
        return LoadResult::NotReflFile;
    // Written so that a factor that is not a number never matches.
    if (!(std::fabs(double(currentFactor) - double(factor)) < FactorMatch))
        return LoadResult::FactorMismatch;
    for (int p = 1; p <= PairCount; ++p)
        readRecord(s, data, p);
    QString text;
    s >> text;
    if (comment)
        *comment = text;
    return LoadResult::Loaded;
}

QString factorMismatchText(float current, float file)
{
    return QCoreApplication::translate("MainWindow", "The current factor") +
           QString::asprintf(" (%.2f) ", double(current)) +
           QCoreApplication::translate("MainWindow", "does not match the factor from the file") +
           QString::asprintf(" (%.2f)!", double(file));
}

} // namespace Refl
