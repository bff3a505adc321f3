#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>

namespace NljdCompare
{
// What a file holds for one pair and what is measured now.
struct Inputs {
    quint8 fileLevel = 0;
    quint8 fileHarm2 = 0;
    quint8 fileHarm3 = 0;
    bool current = false; // the pair has a reading now
    quint8 level = 0;
    quint8 harm2 = 0;
    quint8 harm3 = 0;
};

// Verdict codes; 0 is agreement.
enum Code : quint8 {
    Agree = 0,
    NoFileData = 1,
    NoCurrentData = 2,
    OtherLevel = 3,
    OtherHarm2 = 4,
    OtherHarm3 = 5,
    OtherBoth = 9,
    FileOverVoltage = 10,
    CurrentOverVoltage = 11,
};

struct Verdict {
    bool decided = false; // false: the pair is not compared
    quint8 code = Agree;
};

// Harmonics within this many steps of the file agree.
constexpr int Tolerance = 8;

Verdict decide(const Inputs& in);

// The message for a decided verdict (empty for agreement); the file level shows in the text of 3.
QString text(quint8 code, quint8 fileLevel);

// The marker beside the level slider pointing at the file's level.
QRect levelMarker(const QRect& slider, quint8 fileLevel);
} // namespace NljdCompare
