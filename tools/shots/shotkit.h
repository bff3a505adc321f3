#pragma once

#include <QString>

class CableModel;
class QWidget;

// Small helpers of the screenshot tool: the pairs worth showing on the virtual analyser's cable, a
// pause that keeps the event loop running, and one picture.
namespace Shots
{
int pairWithMains(const CableModel& cable);       // foreign AC on it and safe to measure
int pairWithCarriers(const CableModel& cable);    // the most carriers heard
int pairWithoutCarriers(const CableModel& cable); // none heard: the search finds nothing
int pairWithJunction(const CableModel& cable);    // the strongest nonlinear junction
int pairWithNearFault(const CableModel& cable);   // the nearest fault on a measurable line

void waitMs(int ms);
void save(QWidget& w, const QString& dir, const QString& name);
} // namespace Shots
