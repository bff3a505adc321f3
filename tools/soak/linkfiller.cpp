#include "linkfiller.h"

#include "sim/mode_lfa.h"
#include "sim/mode_nljd.h"
#include "sim/mode_wrx.h"
#include "sim/virtualanalyser.h"

LinkFiller::LinkFiller(VirtualAnalyser& analyser, QObject* parent) : QObject(parent), m_analyser(analyser)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(4);
    connect(&m_timer, &QTimer::timeout, this, &LinkFiller::topUp);
    connect(&m_analyser, &VirtualAnalyser::output, this, [this](const QByteArray& bytes) {
        m_bytes += bytes.size();
        if (m_wasStreaming)
            m_streamingBytes += bytes.size();
    });
}

void LinkFiller::start()
{
    m_clock.start();
    m_lastNs = 0;
    m_line = m_bytes;
    m_timer.start();
}

void LinkFiller::topUp()
{
    const qint64 now = m_clock.nsecsElapsed();
    m_line += (now - m_lastNs) / 1e9 * LineBytesPerSecond;
    const double maxRoom = MaxBacklogMs / 1000.0 * LineBytesPerSecond;
    if (m_line - m_bytes > maxRoom) {
        if (m_wasStreaming)
            m_shortfall += m_line - m_bytes - maxRoom;
        m_line = m_bytes + maxRoom;
    }
    bool streaming = false;
    while (m_bytes < m_line && sendOne())
        streaming = true;
    if (streaming && m_wasStreaming)
        m_streamingNs += double(now - m_lastNs);
    // Without a stream the line idles: no credit piles up for later.
    if (!streaming && m_bytes < m_line)
        m_line = m_bytes;
    m_wasStreaming = streaming || (m_wasStreaming && m_bytes >= m_line);
    m_lastNs = now;
}

bool LinkFiller::sendOne()
{
    VirtualAnalyser& a = m_analyser;
    if (!a.isConnected() || a.isSilent() || a.wireA() == 0)
        return false;
    switch (a.mode()) {
    case VirtualAnalyser::ModeLfa:
        if (auto* lfa = dynamic_cast<LfaMode*>(a.modeHandler(a.mode()))) {
            a.send(lfa->oscFrame(a));
            if (++m_frames % 2 == 0) {
                a.send(lfa->spectrumBlock(a, 0));
                a.send(lfa->spectrumBlock(a, 1));
            }
            return true;
        }
        return false;
    case VirtualAnalyser::ModeWrx:
        if (auto* wrx = dynamic_cast<WrxMode*>(a.modeHandler(a.mode()))) {
            a.send(wrx->fixed() ? wrx->levelFrame(a) : wrx->spectrumBlock(a, quint8(m_frames++ % 3)));
            return true;
        }
        return false;
    case VirtualAnalyser::ModeNljd:
        if (auto* nljd = dynamic_cast<NljdMode*>(a.modeHandler(a.mode()))) {
            a.send(nljd->reading(a));
            return true;
        }
        return false;
    default:
        return false;
    }
}
