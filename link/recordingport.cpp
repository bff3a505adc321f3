#include "recordingport.h"

RecordingAnalyserPort::RecordingAnalyserPort(AnalyserPort* inner, LinkRecordWriter* writer, QObject* parent)
    : ForwardingAnalyserPort(inner, parent), m_writer(writer)
{
    m_writer->setParent(this);
}

void RecordingAnalyserPort::close()
{
    ForwardingAnalyserPort::close();
    // A closed link is a natural pause: what was said so far is worth having on disk.
    m_writer->flush();
}

qint64 RecordingAnalyserPort::write(const QByteArray& data)
{
    const qint64 n = ForwardingAnalyserPort::write(data);
    if (n > 0)
        m_writer->add(LinkDirection::ToAnalyser, data.left(int(n)));
    return n;
}

QByteArray RecordingAnalyserPort::readAll()
{
    const QByteArray bytes = ForwardingAnalyserPort::readAll();
    m_writer->add(LinkDirection::FromAnalyser, bytes);
    return bytes;
}
