#pragma once

#include "sim/simrandom.h"
#include "sim/virtualanalyser.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

// WRx on the virtual analyser: with a pair switched in it sweeps the pair's spectrum (its carriers, and
// those of its wires' neighbours that reach the shield pairs, over a floor that follows gain and Diff);
// fixed on the marker it streams level frames with the carrier's AM or FM; a search reports the
// pair's carriers in blocks of 30. Every setting is confirmed with status sub-kind 5.
class WrxMode : public ModeHandler
{
public:
    static constexpr int FrameIntervalMs = 60;

    struct Heard {
        quint16 freqCode = 0;
        double levelDb = 0;
    };

    explicit WrxMode(quint32 seed = CableModel::DefaultSeed);

    bool command(VirtualAnalyser& analyser, const QByteArray& payload) override;
    void fillStatus(const VirtualAnalyser& analyser, QByteArray& status) const override;
    void tick(VirtualAnalyser& analyser) override;
    void left(VirtualAnalyser& analyser) override;
    bool periodicStatus(const VirtualAnalyser& analyser) const override;

    // The carriers the receiver hears on a pair, lowest frequency first.
    static QList<Heard> heardOn(const CableModel& cable, int a, int b);

    quint16 markerCode() const { return m_marker; }
    quint8 stepCode() const { return m_step; }
    bool fixed() const { return m_fix; }
    quint8 gainIndex() const { return m_gain; }
    bool diff() const { return m_diff; }
    quint8 range() const { return m_range; }
    bool mains() const { return m_mains; }

    QByteArray spectrumBlock(const VirtualAnalyser& analyser, quint8 block);
    QByteArray levelFrame(const VirtualAnalyser& analyser);
    QList<QByteArray> searchResults(const VirtualAnalyser& analyser) const;
    // What a search with the present range and gain reports.
    QList<Heard> foundOn(const CableModel& cable, int a, int b) const;

private:
    bool streaming(const VirtualAnalyser& analyser) const;
    void sendData(VirtualAnalyser& analyser);
    void streamTick();
    // The sweep window: the whole range at the coarse steps, centred on the marker at the fine ones.
    quint16 startCode() const;
    quint16 stopCode() const;
    quint16 rangeTop() const;
    double gainDb() const;
    double floorDb();

    quint16 m_marker = 3000;
    quint8 m_step = 20;
    quint8 m_demod = 0;
    bool m_fix = false;
    quint8 m_gain = 0;
    bool m_diff = false;
    quint8 m_time = 3;
    quint8 m_range = 0;
    bool m_mains = false;

    SimRandom m_noise;
    QTimer m_stream;
    // The confirming status goes out once the program's burst of commands is in, so that it carries the
    // pair the program switched to with them.
    QTimer m_statusDue;
    VirtualAnalyser* m_analyser = nullptr;
    quint32 m_frames = 0;
};
