#pragma once

class VirtualAnalyser;

// Gives the analyser the measuring modes it has out of the box (LFA, WRx, NLJD, REFL).
void registerStandardModes(VirtualAnalyser& analyser);
