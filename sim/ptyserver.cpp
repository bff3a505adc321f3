#include "ptyserver.h"

#include "sim/virtualanalyser.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PtyServer::PtyServer(VirtualAnalyser& analyser, QObject* parent) : QObject(parent), m_analyser(analyser)
{
    m_hostCheck.setInterval(500);
    connect(&m_hostCheck, &QTimer::timeout, this, &PtyServer::checkHost);
    connect(&m_analyser, &VirtualAnalyser::output, this, &PtyServer::writeHost);
}

PtyServer::~PtyServer()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyServer::fail(const QString& what)
{
    m_error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool PtyServer::start()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail(QStringLiteral("posix_openpt"));
    if (::grantpt(m_master) != 0)
        return fail(QStringLiteral("grantpt"));
    if (::unlockpt(m_master) != 0)
        return fail(QStringLiteral("unlockpt"));
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail(QStringLiteral("ptsname"));
    m_slavePath = QString::fromLocal8Bit(name);

    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return fail(QStringLiteral("open ") + m_slavePath);
    // Raw: no echo of our own frames back to us, no CR/LF or XON/XOFF games with binary payloads.
    termios t;
    if (::tcgetattr(m_slave, &t) != 0)
        return fail(QStringLiteral("tcgetattr"));
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B921600);
    ::cfsetospeed(&t, B921600);
    if (::tcsetattr(m_slave, TCSANOW, &t) != 0)
        return fail(QStringLiteral("tcsetattr"));
    if (::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return fail(QStringLiteral("fcntl"));

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyServer::readHost);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyServer::flush);
    m_lastHeard.start();
    m_hostCheck.start();
    return true;
}

void PtyServer::readHost()
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            m_lastHeard.restart();
            m_analyser.receive(QByteArray(buf, int(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // Hang-up or error: listening again at once would spin, so pause a little.
        m_readNotifier->setEnabled(false);
        QTimer::singleShot(200, this, [this] { m_readNotifier->setEnabled(true); });
        return;
    }
}

void PtyServer::writeHost(const QByteArray& bytes)
{
    if (m_master < 0)
        return;
    if (m_pending.size() + bytes.size() > MaxPending)
        return;
    m_pending.append(bytes);
    flush();
}

void PtyServer::flush()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            m_pending.clear();
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void PtyServer::checkHost()
{
    if (!m_analyser.isConnected() || m_lastHeard.elapsed() < HostSilenceMs)
        return;
    m_analyser.hostLost();
    // What the analyser said to the departed host must not greet the next one.
    m_pending.clear();
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    ::tcflush(m_slave, TCIFLUSH);
}
