// Sequences of analyser messages into the window. Input: the tab to show, the pair to select, then
// messages as a length byte and that many payload bytes each; the harness frames them as the analyser
// does, so every one passes the checksum and reaches the dispatch. Whatever arrives: no crash, no
// leak, no undefined behaviour, the pair and link state stay in range, the pair records keep their
// wires and their REFL status shape, and a queued box never blocks.
#include "app/mainwindow.h"
#include "app/scriptedprompts.h"
#include "modes/refl/reflmessage.h"
#include "fuzzwindow.h"
#include "pairs/pairnumbering.h"
#include "pairs/pairstore.h"
#include "tests/fakeport.h"
#include "ui_mainwindow.h"

#include <cstdlib>

using Fuzz::check;

namespace
{
FakePort* port = nullptr;
ScriptedPrompts* prompts = nullptr;
MainWindow* window = nullptr;

void connectAnalyser()
{
    window->openSerialPort();
    port->pushPayload(QByteArray("S\x01\x02\x05", 4));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    port = new FakePort;
    prompts = new ScriptedPrompts;
    window = Fuzz::startWindow(port, prompts, 0);
    connectAnalyser();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Fuzz::InputTime time(Fuzz::WindowCpuLimitMs);
    if (size < 2)
        return 0;
    Ui::MainWindow* ui = window->form();
    if (window->linkState() < 2 || !port->isOpen())
        connectAnalyser();
    ui->tabWidget->setCurrentIndex(data[0] % 6);
    const quint8 pair = quint8(1 + data[1] % PairCount);
    if (window->currentPair() != pair)
        window->swClick(pair, 1);

    for (size_t i = 2; i < size;) {
        const size_t claimed = data[i++];
        const size_t len = std::min(claimed, size - i);
        port->push(Frame::encodeAnyLength(QByteArray(reinterpret_cast<const char*>(data + i), int(len))));
        i += len;
    }
    // Boxes a message raised are queued to the event loop: let them come, answered by the script.
    Fuzz::settle();

    check(window->currentPair() <= PairCount, "current pair in 0..36");
    check(window->linkState() <= 12, "link state in 0..12");
    PairStore& store = window->pairStore();
    for (int p = 1; p <= PairCount; ++p) {
        const PairRecord& r = store[p];
        const PairWires wires = pairWires(p);
        check(r.wireA == wires.a && r.wireB == wires.b, "a pair keeps its wires");
        check(r.refl.status <= ReflDefects || r.refl.status >= Refl::NoData, "REFL status 0..10 or 250..254");
        check(r.refl.status != Refl::Excluded, "no message marks a pair excluded");
    }
    prompts->asked.clear();
    port->sent.clear();
    port->rawWritten.clear();
    return 0;
}
