#include "virtualanalyser.h"

#include "sim/standardmodes.h"

#include <QRegularExpression>
#include <QtDebug>

ModeHandler::~ModeHandler() = default;
void ModeHandler::entered(VirtualAnalyser&) {}
void ModeHandler::left(VirtualAnalyser&) {}
bool ModeHandler::command(VirtualAnalyser&, const QByteArray&)
{
    return false;
}
void ModeHandler::fillStatus(const VirtualAnalyser&, QByteArray&) const {}
void ModeHandler::tick(VirtualAnalyser&) {}
void ModeHandler::pairChanged(VirtualAnalyser&) {}
bool ModeHandler::periodicStatus(const VirtualAnalyser&) const
{
    return true;
}

bool parseFirmwareVersion(const QString& text, quint8* major, quint8* minor)
{
    // Two digits after the point, because the program shows the minor as two digits ("2.05" is minor 5).
    static const QRegularExpression re(QStringLiteral("^(\\d{1,3})\\.(\\d\\d)$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int maj = m.captured(1).toInt();
    if (maj > 255)
        return false;
    *major = quint8(maj);
    *minor = quint8(m.captured(2).toInt());
    return true;
}

namespace
{
quint8 byteAt(const QByteArray& payload, int i)
{
    return i < payload.size() ? quint8(payload.at(i)) : 0;
}

bool isSelectablePair(quint8 a, quint8 b)
{
    return (a == 0 && b == 0) || (a < b && CableModel::pairIndex(a, b) > 0);
}
} // namespace

VirtualAnalyser::VirtualAnalyser(quint32 seed, QObject* parent, Modes modes)
    : QObject(parent), m_cable(seed), m_noise(quint64(seed) ^ 0xA5A5A5A5DEADBEEFull)
{
    m_talkTimer.setInterval(DefaultTalkIntervalMs);
    connect(&m_talkTimer, &QTimer::timeout, this, &VirtualAnalyser::tick);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_connectTimer, &QTimer::timeout, this, &VirtualAnalyser::answerConnect);
    if (modes == Modes::Standard)
        registerStandardModes(*this);
}

VirtualAnalyser::~VirtualAnalyser() = default;

quint8 VirtualAnalyser::batteryLevel() const
{
    return m_batteryPercent <= 0 ? 0 : quint8((m_batteryPercent + 19) / 20);
}

void VirtualAnalyser::setFirmwareVersion(quint8 major, quint8 minor)
{
    m_fwMajor = major;
    m_fwMinor = minor;
}

void VirtualAnalyser::setBattery(quint8 level, bool charging)
{
    m_batteryPercent = qMin<int>(level, 5) * 20;
    m_charging = charging;
}

void VirtualAnalyser::registerMode(quint8 code, std::unique_ptr<ModeHandler> handler)
{
    m_handlers[code] = std::move(handler);
}

ModeHandler* VirtualAnalyser::modeHandler(quint8 code) const
{
    const auto it = m_handlers.find(code);
    return it == m_handlers.end() ? nullptr : it->second.get();
}

bool VirtualAnalyser::isKnownMode(quint8 code) const
{
    switch (code) {
    case ModeFirmware:
    case ModeLfa:
    case ModeWrx:
    case ModeNljd:
    case ModeRefl:
        return true;
    default:
        return m_handlers.count(code) > 0;
    }
}

void VirtualAnalyser::setAutoTalk(bool on)
{
    m_autoTalk = on;
    if (on && m_connected)
        m_talkTimer.start();
    else
        m_talkTimer.stop();
}

void VirtualAnalyser::setTalkInterval(int ms)
{
    m_talkTimer.setInterval(ms);
}

void VirtualAnalyser::setSilent(bool on)
{
    m_silent = on;
}

void VirtualAnalyser::sendGarbage(int count)
{
    QByteArray bytes;
    bytes.reserve(count);
    for (int i = 0; i < count; ++i) {
        quint8 b;
        do
            b = quint8(m_noise.below(256));
        while (b == Frame::End);
        bytes.append(char(b));
    }
    if (!bytes.isEmpty())
        emit output(bytes);
}

void VirtualAnalyser::dropLink()
{
    hostLost();
    emit linkDropped();
}

void VirtualAnalyser::reportPair(quint8 a, quint8 b)
{
    if (!isSelectablePair(a, b))
        return;
    switchPair(a, b);
    if (m_connected)
        sendStatus();
}

void VirtualAnalyser::send(const QByteArray& payload)
{
    if (m_silent)
        return;
    const QByteArray frame = m_badChecksum ? badChecksumFrame(payload) : Frame::encodeAnyLength(payload);
    if (payload.size() > 255 || frame.isEmpty()) {
        qWarning() << "kv847-sim: message too long for one frame, kind" << payload.left(1);
        return;
    }
    if (m_garbage)
        sendGarbage(1 + int(m_noise.below(16)));
    emit output(frame);
}

QByteArray VirtualAnalyser::statusPayload() const
{
    QByteArray s(StatusSize, '\0');
    s[0] = 'S';
    s[1] = char(m_mode);
    s[2] = char(m_wireA);
    s[3] = char(m_wireB);
    s[6] = char(batteryLevel());
    s[7] = char(m_charging ? 1 : 0);
    if (const ModeHandler* h = modeHandler(m_mode))
        h->fillStatus(*this, s);
    return s;
}

void VirtualAnalyser::sendStatus()
{
    m_lastStatus = statusPayload();
    send(m_lastStatus);
}

bool VirtualAnalyser::statusChanged() const
{
    // The battery bytes do not count: battery news travel as "B".
    QByteArray now = statusPayload();
    QByteArray last = m_lastStatus;
    for (QByteArray* s : {&now, &last})
        if (s->size() >= StatusSize)
            (*s)[6] = (*s)[7] = 0;
    return m_lastStatus.isEmpty() || now != last;
}

void VirtualAnalyser::receive(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (!m_receiver.feed(quint8(c)))
            continue;
        QByteArray payload = m_receiver.takePayload();
        payload.chop(1); // the receiver's trailing zero
        if (m_silent || payload.isEmpty())
            continue;
        onCommand(payload.at(0), payload);
    }
}

void VirtualAnalyser::onCommand(char kind, const QByteArray& payload)
{
    if (kind == 'U') {
        if (byteAt(payload, 1) == 1) {
            if (m_connectDelayMs == NeverAnswer)
                return;
            if (m_connectDelayMs > 0)
                m_connectTimer.start(m_connectDelayMs);
            else
                answerConnect();
        } else if (payload.size() >= 2 && byteAt(payload, 1) == 0) {
            m_connectTimer.stop();
            setConnected(false);
        }
        return;
    }
    // Until the program has connected, the analyser listens for nothing else.
    if (!m_connected)
        return;
    switch (kind) {
    case '#':
        send(QByteArray(1, '#'));
        return;
    case 'R':
        if (payload.size() >= 2 && isKnownMode(byteAt(payload, 1)))
            setMode(byteAt(payload, 1));
        return;
    case 'I':
        if (payload.size() >= 4 && byteAt(payload, 1) == 1 &&
            isSelectablePair(byteAt(payload, 2), byteAt(payload, 3)))
            switchPair(byteAt(payload, 2), byteAt(payload, 3));
        return;
    default:
        break;
    }
    if (ModeHandler* current = modeHandler(m_mode))
        if (current->command(*this, payload))
            return;
    for (auto& [code, handler] : m_handlers)
        if (code != m_mode && handler->command(*this, payload))
            return;
}

void VirtualAnalyser::tick()
{
    if (!m_connected || m_silent)
        return;
    ++m_ticks;
    // In firmware mode byte 1 would be 1, which the program reads as a fresh connect answer. The
    // program takes every status as new settings and clears its traces and peak hold, so the status
    // goes out when something in it changed; the "#" answers keep the link alive meanwhile.
    // A mode may send its own status after commands instead (the receiver's peak hold).
    const ModeHandler* current = modeHandler(m_mode);
    if (m_mode != ModeFirmware && statusChanged() && (!current || current->periodicStatus(*this)))
        sendStatus();
    if (m_ticks % TicksPerBattery == 0) {
        stepBattery();
        QByteArray b(3, '\0');
        b[0] = 'B';
        b[1] = char(batteryLevel());
        b[2] = char(m_charging ? 1 : 0);
        send(b);
    }
    if (ModeHandler* h = modeHandler(m_mode))
        h->tick(*this);
}

void VirtualAnalyser::hostLost()
{
    m_connectTimer.stop();
    setConnected(false);
}

void VirtualAnalyser::answerConnect()
{
    if (m_silent)
        return;
    QByteArray s(4, '\0');
    s[0] = 'S';
    s[1] = 1;
    s[2] = char(m_fwMajor);
    s[3] = char(m_fwMinor);
    send(s);
    setConnected(true);
}

void VirtualAnalyser::setConnected(bool on)
{
    m_connected = on;
    m_ticks = 0;
    m_lastStatus.clear();
    if (on && m_autoTalk)
        m_talkTimer.start();
    else
        m_talkTimer.stop();
}

void VirtualAnalyser::setMode(quint8 code)
{
    if (code == m_mode)
        return;
    if (ModeHandler* h = modeHandler(m_mode))
        h->left(*this);
    m_mode = code;
    if (ModeHandler* h = modeHandler(m_mode))
        h->entered(*this);
}

void VirtualAnalyser::switchPair(quint8 a, quint8 b)
{
    if (a == m_wireA && b == m_wireB)
        return;
    m_wireA = a;
    m_wireB = b;
    if (ModeHandler* h = modeHandler(m_mode))
        h->pairChanged(*this);
}

void VirtualAnalyser::stepBattery()
{
    // About three minutes from full until the user plugs the charger in; charging is quicker.
    if (m_charging) {
        m_batteryPercent += 4;
        if (m_batteryPercent >= 100) {
            m_batteryPercent = 100;
            m_charging = false;
        }
    } else if (--m_batteryPercent <= 10) {
        m_charging = true;
    }
}

QByteArray VirtualAnalyser::badChecksumFrame(const QByteArray& payload) const
{
    QByteArray frame = Frame::encodeAnyLength(payload);
    // Strip the end byte and the sum, which is escaped exactly when it is preceded by the escape byte.
    frame.chop(1);
    frame.chop(frame.size() >= 2 && quint8(frame.at(frame.size() - 2)) == Frame::Escape ? 2 : 1);
    quint8 sum = 0;
    for (char c : payload)
        sum = quint8(sum + quint8(c));
    quint8 wrong = quint8(sum + 1);
    while (wrong == Frame::Start || wrong == Frame::End || wrong == Frame::Escape)
        ++wrong;
    frame.append(char(wrong)).append(char(Frame::End));
    return frame;
}
