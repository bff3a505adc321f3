#include "standardmodes.h"

#include "sim/mode_lfa.h"
#include "sim/virtualanalyser.h"

#include <memory>

void registerStandardModes(VirtualAnalyser& analyser)
{
    // One line per mode: analyser.registerMode(code, std::make_unique<Handler>());
    analyser.registerMode(VirtualAnalyser::ModeLfa, std::make_unique<LfaMode>(analyser.cable().seed()));
    (void)analyser;
}
