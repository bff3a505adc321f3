#include "linkrecording.h"

#include <QDateTime>
#include <QDebug>
#include <QtEndian>

namespace
{
void putU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putText(QByteArray& out, const QString& text)
{
    QByteArray t = text.toUtf8().left(255);
    out.append(char(t.size()));
    out.append(t);
}

// A forward-only reader over the file's bytes.
struct Cursor {
    const QByteArray& data;
    int at = 0;
    bool has(int n) const { return data.size() - at >= n; }
    const uchar* take(int n)
    {
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + at);
        at += n;
        return p;
    }
    bool text(QString* out)
    {
        if (!has(1))
            return false;
        const int n = *take(1);
        if (!has(n))
            return false;
        *out = QString::fromUtf8(reinterpret_cast<const char*>(take(n)), n);
        return true;
    }
};
} // namespace

int LinkRecording::countFrom(LinkDirection d) const
{
    int n = 0;
    for (const LinkRecord& r : records)
        n += r.direction == d;
    return n;
}

bool LinkRecording::read(const QString& path, LinkRecording* out, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, f.errorString());
        return false;
    }
    return parse(f.readAll(), out, error);
}

bool LinkRecording::parse(const QByteArray& file, LinkRecording* out, QString* error)
{
    *out = LinkRecording();
    Cursor c{file};
    if (!c.has(LinkFormat::MagicSize) || file.left(LinkFormat::MagicSize) != LinkFormat::Magic) {
        *error = QStringLiteral("not a KV847 link recording");
        return false;
    }
    c.take(LinkFormat::MagicSize);
    if (!c.has(2 + 8)) {
        *error = QStringLiteral("the header is cut short");
        return false;
    }
    out->formatVersion = qFromLittleEndian<quint16>(c.take(2));
    if (out->formatVersion != LinkFormat::Version) {
        *error = QStringLiteral("recording format version %1; this program reads version %2")
                     .arg(out->formatVersion)
                     .arg(LinkFormat::Version);
        return false;
    }
    out->startedMsUtc = qFromLittleEndian<qint64>(c.take(8));
    if (!c.text(&out->writer) || !c.text(&out->source)) {
        *error = QStringLiteral("the header is cut short");
        return false;
    }
    quint32 last = 0;
    while (c.has(1)) {
        if (!c.has(LinkFormat::RecordHeaderSize)) {
            out->cutShort = true;
            break;
        }
        const int start = c.at;
        LinkRecord r;
        r.timeMs = qFromLittleEndian<quint32>(c.take(4));
        const quint8 direction = *c.take(1);
        const quint16 length = qFromLittleEndian<quint16>(c.take(2));
        if (direction > 1 || length == 0 || r.timeMs < last) {
            *error = QStringLiteral("record %1 at byte %2 is damaged").arg(out->records.size() + 1).arg(start);
            return false;
        }
        if (!c.has(length)) {
            out->cutShort = true;
            break;
        }
        r.direction = LinkDirection(direction);
        r.bytes = QByteArray(reinterpret_cast<const char*>(c.take(length)), length);
        last = r.timeMs;
        out->records.append(r);
    }
    if (out->countFrom(LinkDirection::FromAnalyser) == 0) {
        *error = out->cutShort ? QStringLiteral("the recording is cut short before anything the analyser said")
                               : QStringLiteral("the recording holds nothing the analyser said");
        return false;
    }
    return true;
}

LinkRecordWriter::LinkRecordWriter(QObject* parent) : QObject(parent)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &LinkRecordWriter::flush);
}

LinkRecordWriter::~LinkRecordWriter()
{
    flush();
}

bool LinkRecordWriter::open(const QString& path, const QString& writer, const QString& source,
                            QString* error)
{
    // Unbuffered: what flush() hands over is with the system at once and survives a killed program.
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    QByteArray header(LinkFormat::Magic, LinkFormat::MagicSize);
    putU16(header, LinkFormat::Version);
    char when[8];
    qToLittleEndian<qint64>(QDateTime::currentMSecsSinceEpoch(), when);
    header.append(when, 8);
    putText(header, writer);
    putText(header, source);
    m_clock.start();
    if (m_file.write(header) != header.size()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        m_file.close();
        return false;
    }
    return true;
}

void LinkRecordWriter::add(LinkDirection direction, const QByteArray& bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    const qint64 now = m_clock.elapsed();
    if (now > qint64(0xFFFFFFFFu)) {
        qWarning().noquote() << "recording: stopped after 49 days, the longest time a record can hold";
        flush();
        m_file.close();
        return;
    }
    for (int at = 0; at < bytes.size(); at += LinkFormat::MaxRecordBytes) {
        const QByteArray piece = bytes.mid(at, LinkFormat::MaxRecordBytes);
        putU32(m_pending, quint32(now));
        m_pending.append(char(direction));
        putU16(m_pending, quint16(piece.size()));
        m_pending.append(piece);
    }
    if (m_pending.size() >= FlushBytes)
        flush();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void LinkRecordWriter::flush()
{
    m_flushTimer.stop();
    if (!m_file.isOpen() || m_pending.isEmpty())
        return;
    if (m_file.write(m_pending) != m_pending.size()) {
        fail();
        return;
    }
    m_pending.clear();
}

void LinkRecordWriter::fail()
{
    qWarning().noquote() << "recording: stopped, cannot write" << m_file.fileName() << ":"
                         << m_file.errorString();
    m_pending.clear();
    m_file.close();
}
