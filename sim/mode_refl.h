#pragma once

#include "sim/virtualanalyser.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

#include <array>

// REFL on the virtual analyser. "F" 4 measures the switched-in pair: the notice "T" 0 and "P" 0, the
// progress "P" 10 .. 100 a step at a time, then the reflectogram in four "T" 6 chunks and the result:
// the defect list "T" 1 (the pair's opens and shorts, nearest first), "T" 4 for a noisy line (with
// its noisy trace) or "T" 3 for foreign voltage above 3 V. Distances follow the velocity factor set
// with "F" 1 (whole, hundredths), which the status reports in bytes 8 and 9; only defects within
// the program's plot at that factor are reported.
class ReflMode : public ModeHandler
{
public:
    static constexpr int StepIntervalMs = 100;
    // The simulated cable's own factor: with it set, the reported distances are the true ones.
    static constexpr double CableFactor = 1.5;
    // Sample j of the trace lies at (j + 1) / 512 of this many metres of cable, whatever the factor.
    static constexpr double TraceSpanM = 241.0;
    static constexpr double NoiseLimitMv = 5.0;    // a noisier line cannot be measured
    static constexpr double VoltageLimitV = 3.0;   // nor one with more foreign voltage than this
    static constexpr int MinFactorHundredths = 20; // 0.2 .. 9.99, as the program sets it
    static constexpr int MaxFactorHundredths = 999;

    explicit ReflMode(quint32 seed = CableModel::DefaultSeed);

    bool command(VirtualAnalyser& analyser, const QByteArray& payload) override;
    void fillStatus(const VirtualAnalyser& analyser, QByteArray& status) const override;
    void left(VirtualAnalyser& analyser) override;
    void pairChanged(VirtualAnalyser& analyser) override;

    double factor() const { return m_whole + m_hundredths / 100.0; }
    bool isMeasuring() const { return m_timer.isActive(); }
    // Pace of the measurement steps; tests run it fast.
    void setStepInterval(int ms) { m_timer.setInterval(ms); }

    // What a measurement of the pair reports, as the messages that end it (chunks, then the result).
    QList<QByteArray> resultMessages(const CableModel& cable, quint8 a, quint8 b) const;
    // Reported distance of a fault in tenths of a metre, at the factor set.
    quint16 reportedDistance(double metres) const;

private:
    void setFactor(VirtualAnalyser& analyser, quint8 whole, quint8 hundredths);
    void start(VirtualAnalyser& analyser);
    void step();
    void abort();
    std::array<quint8, 512> trace(const CableModel& cable, quint8 a, quint8 b) const;
    // Where the program's distance axis ends at the factor set, in reported metres.
    double plotEndM() const;

    quint8 m_whole = 1;
    quint8 m_hundredths = 50;
    quint32 m_seed;
    QTimer m_timer;
    VirtualAnalyser* m_analyser = nullptr;
    QList<QList<QByteArray>> m_steps; // what is still to be sent, one entry per step
    bool m_progressOpen = false;      // "P" 0 went out and "P" 100 did not yet
};
