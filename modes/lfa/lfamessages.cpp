#include "lfamessages.h"

#include "link/dispatchroute.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace Lfa
{
namespace
{
quint16 u16At(const QByteArray& p, int i)
{
    return quint16(byteAt(p, i) | byteAt(p, i + 1) << 8);
}

// Copies bytes from offset on; what the payload does not hold stays 0.
template <std::size_t N> void copyFrom(const QByteArray& p, int offset, std::array<quint8, N>& out)
{
    const int n = std::clamp(p.size() - offset, 0, int(N));
    if (n > 0)
        std::memcpy(out.data(), p.constData() + offset, std::size_t(n));
}
} // namespace

OscFrame decodeOscFrame(const QByteArray& payload)
{
    OscFrame f;
    f.vpp = u16At(payload, 2);
    f.vppUnit = byteAt(payload, 4);
    copyFrom(payload, 5, f.samples);
    return f;
}

SpectrumBlock decodeSpectrumBlock(const QByteArray& payload)
{
    SpectrumBlock b;
    b.block = byteAt(payload, 2);
    copyFrom(payload, 3, b.bins);
    return b;
}

LineVoltages decodeLineVoltages(const QByteArray& payload)
{
    LineVoltages v;
    v.dcTenths = qint16(u16At(payload, 1));
    v.acHundredths = qint16(u16At(payload, 3));
    v.wireA = byteAt(payload, 5);
    v.wireB = byteAt(payload, 6);
    v.statusA = byteAt(payload, 7);
    v.overVoltage = byteAt(payload, 8) != 0;
    v.statusB = byteAt(payload, 11);
    v.statusC = byteAt(payload, 12);
    return v;
}

Settings decodeSettings(const QByteArray& payload)
{
    Settings s;
    s.overVoltage = byteAt(payload, 5) != 0;
    s.biasCode = byteAt(payload, 8);
    s.gain = byteAt(payload, 9);
    s.time = byteAt(payload, 11);
    s.vdiv = byteAt(payload, 12);
    return s;
}

QString vppCaption(quint16 value, quint8 unit)
{
    switch (unit) {
    case 1:
        return QString::asprintf(qUtf8Printable(QCoreApplication::translate("OSC", "Vpp: %d mV ")), int(value));
    case 2:
        return QString::asprintf(qUtf8Printable(QCoreApplication::translate("OSC", "Vpp: %.1f V ")),
                                 value / 100.0);
    default:
        return QString::asprintf(qUtf8Printable(QCoreApplication::translate("OSC", "Vpp: %d uV ")), int(value));
    }
}

double vppVolts(quint16 value, quint8 unit)
{
    switch (unit) {
    case 1:
        return value / 1000.0;
    case 2:
        return value / 100.0;
    default:
        return value / 1000000.0;
    }
}

QByteArray command(Control which, quint8 val)
{
    QByteArray c(3, '\0');
    c[0] = 'O';
    c[1] = char(which);
    c[2] = char(val);
    return c;
}

} // namespace Lfa
