#pragma once

#include "sim/simrandom.h"
#include "sim/virtualanalyser.h"

#include <QByteArray>
#include <QTimer>

// NLJD on the virtual analyser: with a pair switched in it reports the second and third harmonic
// levels several times a second. A nonlinear junction gives clear harmonics that grow with the
// probing level; other pairs give low noise; a pair with dangerous foreign voltage reports 0xFF.
// It obeys "N" 1 L and reports the probing level in byte 8 of its status.
class NljdMode : public ModeHandler
{
public:
    static constexpr int IntervalMs = 150;
    static constexpr quint8 Levels = 5;

    explicit NljdMode(quint32 seed = CableModel::DefaultSeed);

    bool command(VirtualAnalyser& analyser, const QByteArray& payload) override;
    void fillStatus(const VirtualAnalyser& analyser, QByteArray& status) const override;
    void tick(VirtualAnalyser& analyser) override;
    void left(VirtualAnalyser& analyser) override;
    void pairChanged(VirtualAnalyser& analyser) override;

    quint8 level() const { return m_level; }
    // One reading of the analyser's current pair.
    QByteArray reading(const VirtualAnalyser& analyser);

private:
    bool streaming(const VirtualAnalyser& analyser) const;
    void streamTick();

    quint8 m_level = 2; // 60 %
    SimRandom m_noise;
    QTimer m_stream;
    VirtualAnalyser* m_analyser = nullptr;
};
