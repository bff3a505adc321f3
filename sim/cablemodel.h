#pragma once

#include <QList>
#include <QtGlobal>

#include <array>

// A break or a short between the two wires of a pair, seen from the analyser's end of the cable.
struct LineFault {
    enum class Kind { Open, Short };
    Kind kind = Kind::Open;
    double distanceM = 0;

    bool operator==(const LineFault& o) const { return kind == o.kind && distanceM == o.distanceM; }
};

// Foreign voltage between the two wires: DC in volts (signed) and AC in volts rms.
struct LineVoltage {
    double dc = 0;
    double ac = 0;

    bool operator==(const LineVoltage& o) const { return dc == o.dc && ac == o.ac; }
};

// An RF carrier on a pair: frequency code in units of 10 kHz, level in dB above the receiver's floor.
struct Carrier {
    quint16 freqCode = 0;
    double levelDb = 0;

    bool operator==(const Carrier& o) const { return freqCode == o.freqCode && levelDb == o.levelDb; }
};

// The simulated cable behind the analyser: 8 wires and the shield (wire 9), with a small fault model
// per pair. Everything is drawn once from the seed, so a seed always gives the same cable.
// Queries accept the wires in either order; anything that is not one of the 36 pairs reads as intact.
class CableModel
{
public:
    static constexpr quint32 DefaultSeed = 847;
    static constexpr int Shield = 9;
    static constexpr int PairCount = 36;
    // Foreign voltage whose peak is above this puts the analyser's input at risk.
    static constexpr double VoltageLimit = 100.0;
    static constexpr double MaxLengthM = 2000.0;
    // Faults lie within this many metres of the analyser, where its reflectometer sees them.
    static constexpr double FaultReachM = 115.0;
    static constexpr quint16 MinFreqCode = 10;    // 0.1 MHz
    static constexpr quint16 MaxFreqCode = 18000; // 180 MHz

    explicit CableModel(quint32 seed = DefaultSeed);

    quint32 seed() const { return m_seed; }
    double lengthM() const { return m_lengthM; }

    // 1..28 for (1,2), (1,3) .. (7,8); 29..36 for wire 1..8 against the shield; 0 for anything else.
    static int pairIndex(int a, int b);

    // Faults along the pair, nearest first; empty for an intact pair.
    QList<LineFault> faultsOf(int a, int b) const;
    // Strength 0..1 of a nonlinear junction on the pair, 0 for none.
    double junctionOf(int a, int b) const;
    LineVoltage voltageOf(int a, int b) const;
    // Highest foreign voltage between the wires: DC plus the AC peak.
    double peakVoltageOf(int a, int b) const;
    bool isOverVoltage(int a, int b) const;
    // Noise on the pair in millivolts rms, 0 for a quiet pair.
    double noiseOf(int a, int b) const;
    // Carriers on the pair, lowest frequency first.
    QList<Carrier> carriersOf(int a, int b) const;

private:
    struct PairData {
        QList<LineFault> faults;
        double junction = 0;
        LineVoltage voltage;
        double noiseMv = 0;
        QList<Carrier> carriers;
    };

    const PairData& data(int a, int b) const;

    quint32 m_seed;
    double m_lengthM = 0;
    std::array<PairData, PairCount + 1> m_pairs; // index 0: not a pair, stays intact
};
