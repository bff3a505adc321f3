#include "nljdcompare.h"

#include "modes/nljd/nljdfile.h"
#include "modes/nljd/nljdmessage.h"

#include <QCoreApplication>
#include <cstdlib>

namespace NljdCompare
{
namespace
{
constexpr Verdict notCompared{false, Agree};
constexpr Verdict is(quint8 code)
{
    return {true, code};
}
} // namespace

Verdict decide(const Inputs& in)
{
    const quint8 fl = in.fileLevel, f2 = in.fileHarm2, c2 = in.harm2;
    if (fl == NljdFile::Excluded)
        return notCompared;
    if (in.current && fl == NljdFile::NoData)
        return is(NoFileData);
    if (!in.current && fl <= 249)
        return is(NoCurrentData);
    if (fl >= 251)
        return notCompared;
    if (f2 == Nljd::OverVoltage)
        return c2 <= 249 ? is(FileOverVoltage) : notCompared;
    if (f2 >= Nljd::MaxHarmonic && c2 == Nljd::OverVoltage)
        return notCompared;
    if (c2 == Nljd::OverVoltage)
        return is(CurrentOverVoltage);
    if (fl != in.level)
        return is(OtherLevel);
    const bool second = std::abs(int(c2) - int(f2)) > Tolerance;
    const bool third = std::abs(int(in.harm3) - int(in.fileHarm3)) > Tolerance;
    if (second && third)
        return is(OtherBoth);
    if (second)
        return is(OtherHarm2);
    if (third)
        return is(OtherHarm3);
    return is(Agree);
}

QString text(quint8 code, quint8 fileLevel)
{
    switch (code) {
    case NoFileData:
        return QCoreApplication::translate("MainWindow", "No data in the file for this pair!");
    case NoCurrentData:
        return QCoreApplication::translate("MainWindow", "No new measurements for this pair!");
    case OtherLevel:
        return QCoreApplication::translate("MainWindow",
                                           "Different levels of the probing signal (in the file - ") +
               QString::number(20 * (fileLevel + 1)) + "%)";
    case OtherHarm2:
        return QCoreApplication::translate("MainWindow", "Different levels of second harmonics!");
    case OtherHarm3:
        return QCoreApplication::translate("MainWindow", "Different levels of third harmonics!");
    case OtherBoth:
        return QCoreApplication::translate("MainWindow", "Different levels of second and third harmonics!");
    case FileOverVoltage:
        return QCoreApplication::translate("MainWindow",
                                           "In the file - more than 3v. In the current data - no.");
    case CurrentOverVoltage:
        return QCoreApplication::translate("MainWindow",
                                           "In the current data - more than 3v. In the file - no.");
    default:
        return QString();
    }
}

QRect levelMarker(const QRect& slider, quint8 fileLevel)
{
    const int h = (slider.bottom() - slider.top()) - 27;
    int o = (4 - int(fileLevel)) * h / 4;
    if (o <= 1)
        o = 2;
    return QRect(QPoint(slider.left() + 45, slider.top() + o),
                 QPoint(slider.left() + 59, slider.top() + o + 27));
}

} // namespace NljdCompare
