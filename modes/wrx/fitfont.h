#pragma once

#include <QFont>
#include <QStringList>

namespace Wrx
{
// The receiver's lists and table columns are narrow: a wide desktop font is made smaller, a point at
// a time, until the longest text fits into room pixels.
QFont fittingFont(QFont font, const QStringList& texts, int room);
} // namespace Wrx
