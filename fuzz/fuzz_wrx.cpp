// The receiver's messages into the window on the WRx tab with a pair selected. Input: a byte of
// switches (the pair, Search), then messages as a kind byte, a length byte and the bytes after the
// message's sub-kind: spectrum block, search results, level frame, the analyser's settings (given the
// selected pair's wires, so the window stays on it unless they disable it), or a click on Search. Unlike the dispatch harness
// every message reaches the receiver, and what it holds is checked after each one: levels within
// 0..63.75 dB, peak hold never below the spectrum, the point below start never written, a stale block
// changes nothing, reported settings are never sent back, the step within a byte's reach, the signal
// list within its record and the selected signal within the list.
#include "app/scriptedprompts.h"
#include "fuzzwindow.h"
#include "link/dispatchroute.h"
#include "modes/wrx/rx.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "tests/fakeport.h"

#include <QPushButton>
#include <algorithm>
#include <cmath>

using Fuzz::check;

namespace
{
FakePort* port = nullptr;
ScriptedPrompts* prompts = nullptr;
MainWindow* window = nullptr;
constexpr double TopDb = 255 * 0.25;
constexpr size_t MaxBody = 255 - 2;

void connectAnalyser()
{
    window->openSerialPort();
    port->pushPayload(QByteArray("S\x01\x02\x05", 4));
}

bool inRange(double v)
{
    return std::isfinite(v) && v >= 0 && v <= TopDb;
}

struct Snapshot {
    std::array<double, Wrx::Points> levels{}, peak{};
    std::array<double, Wrx::OscSamples> osc{};
    double level = 0, peakLevel = 0;
    explicit Snapshot(const Wrx::Traces& t)
    {
        std::copy(t.spectrum(), t.spectrum() + Wrx::Points, levels.begin());
        std::copy(t.peak(), t.peak() + Wrx::Points, peak.begin());
        std::copy(t.oscY(), t.oscY() + Wrx::OscSamples, osc.begin());
        level = t.level();
        peakLevel = t.peakLevel();
    }
    bool operator==(const Snapshot& o) const
    {
        return levels == o.levels && peak == o.peak && osc == o.osc && level == o.level && peakLevel == o.peakLevel;
    }
};

void checkReceiver(const RX& rx)
{
    const Wrx::Traces& t = rx.traces();
    check(t.spectrum()[0] == 0 && t.peak()[0] == 0, "the point below start is never written");
    for (int i = 1; i < Wrx::Points; ++i) {
        check(inRange(t.spectrum()[i]) && inRange(t.peak()[i]), "spectrum levels within 0..63.75 dB");
        check(t.peak()[i] >= t.spectrum()[i], "peak hold never below the spectrum");
    }
    for (int i = 0; i < Wrx::OscSamples; ++i)
        check(inRange(t.oscY()[i]), "oscilloscope samples within 0..63.75 dB");
    check(inRange(t.level()) && inRange(t.peakLevel()), "marker levels within 0..63.75 dB");
    check(t.shownPoints() == Wrx::ClearedPoints || t.shownPoints() == Wrx::BinsPerBlock * Wrx::Blocks + 1,
          "the curves show a cleared or a whole sweep");
    check(rx.step() >= 0 && rx.step() <= 2.55, "the step as a byte of 10 kHz units");
    check(std::isfinite(rx.marker()), "the marker is a number");
    const quint8 pair = window->currentPair();
    check(pair <= PairCount, "a pair or none");
    if (pair == 0)
        return;
    const PairRecord& r = window->pairStore()[pair];
    check(r.signalCount <= MaxSignals, "the signal list within its record");
    check(rx.currentSignal() >= 0 && rx.currentSignal() < MaxSignals, "the selected signal within the record");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    port = new FakePort;
    prompts = new ScriptedPrompts;
    window = Fuzz::startWindow(port, prompts, Tab::Wrx);
    connectAnalyser();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::WindowCpuLimitMs);
    if (size < 1)
        return 0;
    if (window->linkState() < 2 || !port->isOpen())
        connectAnalyser();
    Ui::MainWindow* ui = window->form();
    if (ui->tabWidget->currentIndex() != Tab::Wrx)
        ui->tabWidget->setCurrentIndex(Tab::Wrx);
    const quint8 pair = quint8(1 + (data[0] & 0x3F) % PairCount);
    if (window->currentPair() != pair)
        window->swClick(pair, 1);
    RX& rx = *window->rx();
    QPushButton* search = rx.searchButton();
    if (search->isChecked() != bool(data[0] & 0x40))
        search->click();
    Fuzz::settle();
    port->sent.clear();

    const PairWires wires = pairWires(pair);
    for (size_t i = 1; i + 1 < size;) {
        const int kind = data[i] % 6;
        // A message fits one frame: with the kind and sub-kind a body of 254 or 255 bytes would make a
        // payload over 255, whose length byte wraps, and the receiver would take another message
        // than the one the rules below judge.
        const size_t len = std::min({size_t(data[i + 1]), size - i - 2, MaxBody});
        const QByteArray body(reinterpret_cast<const char*>(data + i + 2), int(len));
        i += 2 + len;
        // Settings with the mains flag disable pairs, which may drop the selection; take it again.
        if (window->currentPair() != pair)
            window->swClick(pair, 1);
        if (kind == 5) {
            prompts->answers.enqueue(body.size() % 2 == 1);
            search->click();
            prompts->answers.clear();
            checkReceiver(rx);
            continue;
        }
        QByteArray payload;
        if (kind == 4) {
            payload = QByteArray("S\x05", 2) + body;
            if (payload.size() < 4)
                payload.resize(4);
            payload[2] = char(wires.a);
            payload[3] = char(wires.b);
        } else {
            payload = QByteArray(1, 'C') + char(kind) + body;
        }
        const Snapshot before(rx.traces());
        const bool diff = rx.diffOn();
        const quint8 gain = rx.commandState().gain;
        port->sent.clear();
        port->push(Frame::encodeAnyLength(payload));
        if (kind == 0) {
            const auto at = [&](int k) { return k < payload.size() ? quint8(payload[k]) : 0; };
            if (at(2) >= Wrx::Blocks || (at(3) != 0) != diff || at(4) != gain)
                check(Snapshot(rx.traces()) == before, "a stale spectrum block changes nothing");
        } else if (kind == 4) {
            for (const QByteArray& p : port->sent)
                check(!p.startsWith('S'), "reported settings are not sent back");
        }
        checkReceiver(rx);
    }
    Fuzz::settle();
    checkReceiver(rx);
    prompts->asked.clear();
    port->sent.clear();
    port->rawWritten.clear();
    return 0;
}
