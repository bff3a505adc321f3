#pragma once

#include "modes/lfa/lfascale.h"

#include <QByteArray>
#include <QString>

#include <array>

// The LFA messages of the analyser, read from a delivered payload (a field past the end reads as 0),
// and the commands the program sends for the LFA controls.
namespace Lfa
{

// "M" 0: Vpp and one oscilloscope frame.
struct OscFrame {
    quint16 vpp = 0;
    quint8 vppUnit = 0; // 0 uV, 1 mV, 2 hundredths of a volt; anything else reads as uV
    std::array<quint8, SamplesPerFrame> samples{};
};
OscFrame decodeOscFrame(const QByteArray& payload);

// "M" 1: half of the spectrum.
constexpr int BinsPerBlock = 128;
struct SpectrumBlock {
    quint8 block = 0; // 0 bins 0..127, 1 bins 128..255
    std::array<quint8, BinsPerBlock> bins{};
};
SpectrumBlock decodeSpectrumBlock(const QByteArray& payload);

// "V": line voltages of a pair.
struct LineVoltages {
    qint16 dcTenths = 0;
    qint16 acHundredths = 0;
    quint8 wireA = 0;
    quint8 wireB = 0;
    quint8 statusA = 0;
    bool overVoltage = false;
    quint8 statusB = 0;
    quint8 statusC = 0;
};
LineVoltages decodeLineVoltages(const QByteArray& payload);

// "S" 4: the analyser's LFA settings.
struct Settings {
    bool overVoltage = false;
    quint8 biasCode = 5;
    quint8 gain = 0;
    quint8 time = 0;
    quint8 vdiv = 0;
};
Settings decodeSettings(const QByteArray& payload);

// Vpp caption as the oscilloscope shows it, each format ending in a space.
QString vppCaption(quint16 value, quint8 unit);
// Vpp in volts, for the pair's AC voltage.
double vppVolts(quint16 value, quint8 unit);

enum class Control : quint8 { Time = 13, Vdiv = 14, Gain = 15, Bias = 16 };
QByteArray command(Control which, quint8 val);

} // namespace Lfa
