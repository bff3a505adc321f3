#include "standardmodes.h"

#include "sim/mode_firmware.h"
#include "sim/mode_lfa.h"
#include "sim/mode_nljd.h"
#include "sim/mode_refl.h"
#include "sim/mode_wrx.h"
#include "sim/virtualanalyser.h"

#include <memory>

void registerStandardModes(VirtualAnalyser& analyser)
{
    // One line per mode: analyser.registerMode(code, std::make_unique<Handler>());
    analyser.registerMode(VirtualAnalyser::ModeLfa, std::make_unique<LfaMode>(analyser.cable().seed()));
    analyser.registerMode(VirtualAnalyser::ModeWrx, std::make_unique<WrxMode>(analyser.cable().seed()));
    analyser.registerMode(VirtualAnalyser::ModeNljd, std::make_unique<NljdMode>(analyser.cable().seed()));
    analyser.registerMode(VirtualAnalyser::ModeRefl, std::make_unique<ReflMode>(analyser.cable().seed()));
    analyser.registerMode(VirtualAnalyser::ModeFirmware, std::make_unique<FirmwareMode>());
    (void)analyser;
}
