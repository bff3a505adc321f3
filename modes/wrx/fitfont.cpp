#include "fitfont.h"

#include <QFontMetrics>
#include <algorithm>

namespace Wrx
{
QFont fittingFont(QFont font, const QStringList& texts, int room)
{
    auto widest = [&texts](const QFontMetrics& m) {
        int most = 0;
        for (const QString& t : texts)
            most = std::max(most, m.horizontalAdvance(t));
        return most;
    };
    while (font.pointSize() > 6 && widest(QFontMetrics(font)) > room)
        font.setPointSize(font.pointSize() - 1);
    return font;
}
} // namespace Wrx
