#include "recordingport.h"

RecordingAnalyserPort::RecordingAnalyserPort(AnalyserPort* inner, LinkRecordWriter* writer, QObject* parent)
    : AnalyserPort(parent), m_inner(inner), m_writer(writer)
{
    m_inner->setParent(this);
    m_writer->setParent(this);
    connect(m_inner, &AnalyserPort::readyRead, this, &AnalyserPort::readyRead);
    connect(m_inner, &AnalyserPort::errorOccurred, this, &AnalyserPort::errorOccurred);
}

void RecordingAnalyserPort::close()
{
    m_inner->close();
    // A closed link is a natural pause: what was said so far is worth having on disk.
    m_writer->flush();
}

qint64 RecordingAnalyserPort::write(const QByteArray& data)
{
    const qint64 n = m_inner->write(data);
    if (n > 0)
        m_writer->add(LinkDirection::ToAnalyser, data.left(int(n)));
    return n;
}

QByteArray RecordingAnalyserPort::readAll()
{
    const QByteArray bytes = m_inner->readAll();
    m_writer->add(LinkDirection::FromAnalyser, bytes);
    return bytes;
}
