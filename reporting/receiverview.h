#pragma once

#include "reporting/workbooks.h"

#include <QString>

class QWidget;

namespace Report
{

// What a capture of the WRx mode reads from the receiver widget.
struct ReceiverView {
    QWidget* spectrumPlot = nullptr; // no picture without it
    QWidget* oscPlot = nullptr;
    QString range;
    QString gain;
    QString step;
    bool diff = false;
    QString freq;
    QString demod;
    QString time;
    FrequencyMark mark; // empty: every frequency unmarked
};

// Any receiver widget with these accessors; the view is used while the receiver lives.
template <class Receiver> ReceiverView receiverView(const Receiver& rx)
{
    ReceiverView v;
    v.spectrumPlot = rx.spectrumPlot();
    v.oscPlot = rx.oscPlot();
    v.range = rx.rangeText();
    v.gain = rx.gainText();
    v.step = rx.stepText();
    v.diff = rx.diffOn();
    v.freq = rx.freqText();
    v.demod = rx.demodText();
    v.time = rx.timeText();
    v.mark = [&rx](quint16 code) { return rx.frequencyMark(code); };
    return v;
}

} // namespace Report
