#include "biaslogic.h"

#include "modes/lfa/lfascale.h"

namespace Lfa
{

BiasDecision BiasLogic::run(int biasIndex, bool negative, bool overVoltage, bool fromDevice)
{
    const int polarity = negative ? 1 : -1;
    const bool biasOn = biasIndex > 0, biasWasOn = m_lastIndex > 0;
    const bool overEnded = !overVoltage && m_lastOver;

    BiasDecision d;
    d.limitGain = (biasOn && !biasWasOn) || (overVoltage && !m_lastOver);
    d.freeGain = (!biasOn && biasWasOn && !overVoltage) || (overEnded && !biasOn);
    d.relabel = polarity != m_lastPolarity || overEnded;
    d.lock = overVoltage;
    d.emitCode = !fromDevice && !overVoltage;
    d.code = biasCode(biasIndex, negative);

    m_lastIndex = biasIndex;
    m_lastPolarity = polarity;
    m_lastOver = overVoltage;
    return d;
}

} // namespace Lfa
