#include "replayport.h"

#include <QDebug>
#include <cmath>

namespace
{
QString describe(const QByteArray& payload)
{
    QString text = QString::fromLatin1(payload.toHex(' ').toUpper());
    if (!payload.isEmpty() && payload.at(0) >= 0x20 && payload.at(0) < 0x7F)
        text += QStringLiteral(" (%1)").arg(QLatin1Char(payload.at(0)));
    return text;
}

// Feeds raw bytes to a receiver and gives the payloads they complete, without the trailing zero.
QList<QByteArray> payloadsOf(FrameReceiver& receiver, const QByteArray& bytes)
{
    QList<QByteArray> out;
    for (char c : bytes)
        if (receiver.feed(quint8(c)))
            out.append(receiver.takePayload().chopped(1));
    return out;
}

bool isPoll(const QByteArray& payload)
{
    return payload.size() == 1 && payload.at(0) == '#';
}
} // namespace

ReplayAnalyserPort::ReplayAnalyserPort(const LinkRecording& recording, double speed, QObject* parent)
    : MemoryAnalyserPort(parent), m_recording(recording), m_speed(speed > 0 ? speed : 1.0)
{
    setErrorString(QStringLiteral("No error"));
    FrameReceiver decoder;
    for (const LinkRecord& r : m_recording.records) {
        if (r.direction != LinkDirection::ToAnalyser)
            continue;
        for (const QByteArray& p : payloadsOf(decoder, r.bytes))
            if (!isPoll(p))
                m_expected.append({r.timeMs, p});
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplayAnalyserPort::play);
}

qint64 ReplayAnalyserPort::positionMs() const
{
    const qint64 first = m_recording.records.isEmpty() ? 0 : m_recording.records.first().timeMs;
    if (!m_started)
        return first;
    return first + qint64(std::floor(double(m_clock.nsecsElapsed()) / 1e6 * m_speed));
}

QList<PortInfo> ReplayAnalyserPort::availablePorts() const
{
    if (m_ended)
        return {};
    return {PortInfo{replayPortName(), QStringLiteral("FTDI")}};
}

bool ReplayAnalyserPort::open(QIODevice::OpenMode)
{
    if (isOpen()) {
        fail(QSerialPort::OpenError, QStringLiteral("Device is already open"));
        return false;
    }
    if (m_ended || portName() != replayPortName()) {
        fail(QSerialPort::DeviceNotFoundError, QStringLiteral("No such file or directory"));
        return false;
    }
    setOpen(true);
    setErrorString(QStringLiteral("No error"));
    if (!m_started) {
        m_started = true;
        m_clock.start();
        schedule();
    }
    return true;
}

void ReplayAnalyserPort::close()
{
    setOpen(false);
    dropBuffers();
}

qint64 ReplayAnalyserPort::write(const QByteArray& data)
{
    if (!writable())
        return -1;
    for (const QByteArray& p : takeWritten(data))
        if (!isPoll(p))
            compareSent(p);
    return data.size();
}

void ReplayAnalyserPort::schedule()
{
    if (m_next >= m_recording.records.size()) {
        finish();
        return;
    }
    const double wait = double(m_recording.records.at(m_next).timeMs - positionMs()) / m_speed;
    m_timer.start(wait > 0 ? int(std::ceil(wait)) : 0);
}

void ReplayAnalyserPort::play()
{
    const qint64 now = positionMs();
    while (m_next < m_recording.records.size() && m_recording.records.at(m_next).timeMs <= now) {
        const LinkRecord& r = m_recording.records.at(m_next++);
        if (r.direction == LinkDirection::FromAnalyser) {
            if (isOpen())
                deliver(r.bytes);
            continue;
        }
        for (const QByteArray& p : payloadsOf(m_playedDecoder, r.bytes)) {
            const int tab = tabOfModeSelect(p);
            if (tab >= 0)
                emit modeSelected(tab);
            else if (p.size() == 4 && p.at(0) == 'I' && p.at(1) == 1)
                emit pairSelected(quint8(p.at(2)), quint8(p.at(3)));
        }
    }
    schedule();
}

void ReplayAnalyserPort::finish()
{
    if (m_ended)
        return;
    m_ended = true;
    for (int k = m_nextExpected; k < m_expected.size(); ++k)
        noteDifference(QStringLiteral("at %1 ms the recording sent %2, this run did not")
                           .arg(m_expected.at(k).timeMs)
                           .arg(describe(m_expected.at(k).payload)));
    m_nextExpected = m_expected.size();
    qInfo().noquote() << QStringLiteral("replay: the recording ended at %1 ms; %2 difference(s) in what was sent")
                             .arg(m_recording.durationMs())
                             .arg(m_differences.size());
    setErrorString(QStringLiteral("The recording has ended"));
    if (isOpen())
        emit errorOccurred(QSerialPort::ResourceError);
    emit ended();
}

void ReplayAnalyserPort::compareSent(const QByteArray& payload)
{
    const int last = qMin(int(m_expected.size()), m_nextExpected + Lookahead);
    for (int k = m_nextExpected; k < last; ++k) {
        if (m_expected.at(k).payload != payload)
            continue;
        for (int j = m_nextExpected; j < k; ++j)
            noteDifference(QStringLiteral("at %1 ms the recording sent %2, this run did not")
                               .arg(m_expected.at(j).timeMs)
                               .arg(describe(m_expected.at(j).payload)));
        m_nextExpected = k + 1;
        return;
    }
    noteDifference(QStringLiteral("at %1 ms this run sent %2, the recording did not")
                       .arg(positionMs())
                       .arg(describe(payload)));
}

void ReplayAnalyserPort::noteDifference(const QString& text)
{
    m_differences.append(text);
    qWarning().noquote() << "replay:" << text;
}

int ReplayAnalyserPort::tabOfModeSelect(const QByteArray& payload)
{
    if (payload.size() != 2 || payload.at(0) != 'R')
        return -1;
    const quint8 code = quint8(payload.at(1));
    if (code >= 4 && code <= 8)
        return code - 4; // the four modes and the Report tab
    if (code == 1 || code == 9)
        return 5; // the firmware update tab
    return -1;
}
