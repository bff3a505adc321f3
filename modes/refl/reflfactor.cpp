#include "reflfactor.h"

#include "link/dispatchroute.h"

#include <algorithm>
#include <cmath>

namespace Refl
{

bool statusFactor(const QByteArray& status, float* factor)
{
    double v = 0;
    if (status.size() == 9)
        v = qint8(byteAt(status, 8));
    else if (status.size() > 9)
        v = qint8(byteAt(status, 8)) + qint8(byteAt(status, 9)) / 100.0;
    // A hair of margin: 9 + 99 / 100.0 need not be exactly the double nearest 9.99.
    if (v < MinFactor - 1e-6 || v > MaxFactor + 1e-6)
        return false;
    *factor = float(v);
    return true;
}

float fieldFactor(const QString& text)
{
    return std::clamp(std::fabs(text.toFloat()), MinFactor, MaxFactor);
}

bool changesFactor(float wanted, float applied)
{
    return std::fabs(double(wanted) - double(applied)) >= 0.005;
}

QByteArray factorCommand(float factor)
{
    const int whole = int(factor);
    const long hundredths = std::lround((double(factor) - whole) * 100);
    QByteArray cmd("F\x01", 2);
    cmd.append(char(whole)).append(char(hundredths));
    return cmd;
}

QString factorText(float factor)
{
    return QString::asprintf("%.2f", double(factor));
}

} // namespace Refl
