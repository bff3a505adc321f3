#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

// A recording of the link: every chunk of bytes that went either way, with its time. Little-endian.
//
//   header:  "KV847REC" (8 bytes), format version (u16), start time in ms since 1970 UTC (i64),
//            writer length (u8) + writer text (UTF-8), source length (u8) + source text (UTF-8)
//   record:  time in ms since the start (u32), direction (u8: 0 program to analyser, 1 analyser to
//            program), length (u16, 1..65535), the bytes as they went over the wire
//
// Records follow each other in time order until the end of the file; a file cut inside its last
// record is read up to its last complete record.
namespace LinkFormat
{
constexpr char Magic[] = "KV847REC";
constexpr int MagicSize = 8;
constexpr quint16 Version = 1;
constexpr int RecordHeaderSize = 7;
constexpr int MaxRecordBytes = 0xFFFF;
} // namespace LinkFormat

enum class LinkDirection : quint8 { ToAnalyser = 0, FromAnalyser = 1 };

struct LinkRecord {
    quint32 timeMs = 0;
    LinkDirection direction = LinkDirection::ToAnalyser;
    QByteArray bytes;
};

struct LinkRecording {
    quint16 formatVersion = 0;
    qint64 startedMsUtc = 0;
    QString writer;
    QString source;
    QVector<LinkRecord> records;
    bool cutShort = false; // the file ended inside a record

    quint32 durationMs() const { return records.isEmpty() ? 0 : records.last().timeMs; }
    int countFrom(LinkDirection d) const;

    // Reads a whole recording. False with a reason for a missing, foreign, damaged or empty file.
    static bool read(const QString& path, LinkRecording* out, QString* error);
    static bool parse(const QByteArray& file, LinkRecording* out, QString* error);
};

// Writes a recording without holding up the link: records gather in memory and go to the file every
// FlushMs or once FlushBytes have gathered, so a killed program loses at most the last moment. A
// failing file ends the recording (with one warning); the link never notices.
class LinkRecordWriter : public QObject
{
    Q_OBJECT
public:
    static constexpr int FlushMs = 100;
    static constexpr int FlushBytes = 4096;

    explicit LinkRecordWriter(QObject* parent = nullptr);
    ~LinkRecordWriter() override;

    // Creates (or replaces) the file and writes the header at once.
    bool open(const QString& path, const QString& writer, const QString& source, QString* error);
    bool isRecording() const { return m_file.isOpen(); }
    void add(LinkDirection direction, const QByteArray& bytes);
    void flush();

private:
    void fail();

    QFile m_file;
    QElapsedTimer m_clock;
    QTimer m_flushTimer;
    QByteArray m_pending;
};
