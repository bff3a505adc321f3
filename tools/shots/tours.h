#pragma once

#include <QString>

class MainWindow;
class PicturingPrompts;
class VirtualAnalyser;

// The parts of the screenshot tour beyond one picture per tab.
namespace Shots
{
// Every box and file dialog the measuring tabs and the pair list can put up, each raised the way a
// user raises it (pictures by the prompts, into their own folder).
void tourBoxes(MainWindow& w, PicturingPrompts& prompts, VirtualAnalyser& analyser, const QString& work);
// The port errors, which need a real device: shown with the texts the program builds for them.
void tourUnstageableBoxes(PicturingPrompts& prompts, const QString& work);
// The states of the tabs worth a look of their own: save panels, comparisons, an empty search.
void tourStates(MainWindow& w, PicturingPrompts& prompts, VirtualAnalyser& analyser, const QString& out);
// The "Save Error" boxes of a capture into a report folder that cannot be made.
void tourReportErrors(MainWindow& w, const QString& work);
// The position readouts of every plot, as the mouse shows them.
void tourTrackers(MainWindow& w, const QString& out);
// Every distinct tool tip of the window; returns how many there were.
int tourToolTips(MainWindow& w, const QString& out);
} // namespace Shots
