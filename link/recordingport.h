#pragma once

#include "forwardingport.h"
#include "linkrecording.h"

// Puts any port on record: everything is passed to the port it wraps, and every byte written to it
// or read from it goes to the recording as well. Owns the wrapped port and the writer.
class RecordingAnalyserPort : public ForwardingAnalyserPort
{
    Q_OBJECT
public:
    RecordingAnalyserPort(AnalyserPort* inner, LinkRecordWriter* writer, QObject* parent = nullptr);

    void close() override;
    qint64 write(const QByteArray& data) override;
    QByteArray readAll() override;

private:
    LinkRecordWriter* m_writer;
};
