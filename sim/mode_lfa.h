#pragma once

#include "sim/simrandom.h"
#include "sim/virtualanalyser.h"

#include <QByteArray>
#include <QTimer>

#include <array>

// LFA on the virtual analyser: with a pair switched in it streams oscilloscope frames of the pair's
// mains-like voltage and noise, spectrum blocks with the matching lines over the noise floor, and the
// pair's line voltages; it obeys the four "O" settings and reports them in its status.
class LfaMode : public ModeHandler
{
public:
    // 25 oscilloscope frames a second, a whole spectrum with every second frame.
    static constexpr int FrameIntervalMs = 40;

    explicit LfaMode(quint32 seed = CableModel::DefaultSeed);

    bool command(VirtualAnalyser& analyser, const QByteArray& payload) override;
    void fillStatus(const VirtualAnalyser& analyser, QByteArray& status) const override;
    void tick(VirtualAnalyser& analyser) override;
    void left(VirtualAnalyser& analyser) override;

    quint8 timeIndex() const { return m_time; }
    quint8 vdivIndex() const { return m_vdiv; }
    quint8 gainIndex() const { return m_gain; }
    quint8 biasCode() const { return m_bias; }

    // The messages for the analyser's current pair.
    QByteArray oscFrame(const VirtualAnalyser& analyser);
    QByteArray spectrumBlock(const VirtualAnalyser& analyser, quint8 block);
    QByteArray lineVoltages(const VirtualAnalyser& analyser) const;

private:
    bool streaming(const VirtualAnalyser& analyser) const;
    void sendData(VirtualAnalyser& analyser, bool withSpectrum);
    void streamTick();
    // Volts per division at the input, with the gain the analyser applies.
    double voltsPerDiv(bool overVoltage) const;
    double mainsRms(const VirtualAnalyser& analyser) const;

    quint8 m_time = 3;
    quint8 m_vdiv = 1;
    quint8 m_gain = 0;
    quint8 m_bias = 5;

    SimRandom m_noise;
    QTimer m_stream;
    VirtualAnalyser* m_analyser = nullptr;
    quint32 m_frames = 0;
    // Spectrum as last computed, so that the two blocks of one spectrum belong together.
    std::array<quint8, 256> m_bins{};
};
