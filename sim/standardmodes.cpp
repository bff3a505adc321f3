#include "standardmodes.h"

#include "sim/virtualanalyser.h"

void registerStandardModes(VirtualAnalyser& analyser)
{
    // One line per mode: analyser.registerMode(code, std::make_unique<Handler>());
    (void)analyser;
}
