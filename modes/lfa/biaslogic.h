#pragma once

#include <QtGlobal>

namespace Lfa
{

// What one run of the bias logic decides; the widget carries it out in this order.
struct BiasDecision {
    bool limitGain = false; // gain items 3..7 read "25dB", the Bias list turns red, the gain logic runs
    bool freeGain = false;  // the gain items get their own labels back, the Bias list turns blue
    bool relabel = false;   // the Bias items take the row of the current polarity
    bool lock = false;      // over-voltage: bias is forbidden
    bool emitCode = false;
    quint8 code = 0;
};

// The remembered half of the bias logic: the gain list is limited exactly while bias is applied or
// over-voltage is present, and the Bias list is relabelled when the polarity changes or the
// over-voltage ends.
class BiasLogic
{
public:
    BiasDecision run(int biasIndex, bool negative, bool overVoltage, bool fromDevice);
    // The one memory of over-voltage: the settings and the line-voltage flag both update it.
    bool lastOverVoltage() const { return m_lastOver; }

private:
    int m_lastIndex = 0;
    int m_lastPolarity = 0; // none yet, so the first run relabels
    bool m_lastOver = false;
};

} // namespace Lfa
