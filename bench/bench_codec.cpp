// Frame receiver throughput on a stream of mixed frames (oscilloscope-sized, status, keep-alive,
// heavily escaped). Goal: well over 50 MB/s on one core.
#include "link/framecodec.h"

#include <benchmark/benchmark.h>

namespace
{
QByteArray mixedStream()
{
    QByteArray stream;
    QByteArray osc(197, '\0');
    osc[0] = 'M';
    for (int i = 1; i < osc.size(); ++i)
        osc[i] = char(110 + (i * 7) % 60);
    QByteArray escaped(60, char(0xC0));
    escaped[0] = 'T';
    const QByteArray status("S\x04\x01\x02\x00\x00\x05\x00\x00", 9);
    for (int i = 0; i < 200; ++i) {
        stream += Frame::encode(osc.left(190));
        stream += Frame::encode(status);
        stream += Frame::encode("#");
        if (i % 4 == 0)
            stream += Frame::encode(escaped);
    }
    return stream;
}
} // namespace

static void BM_FrameReceiver(benchmark::State& state)
{
    const QByteArray stream = mixedStream();
    FrameReceiver rx;
    int frames = 0;
    for (auto _ : state) {
        for (char c : stream)
            if (rx.feed(quint8(c))) {
                benchmark::DoNotOptimize(rx.takePayload());
                ++frames;
            }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameReceiver);

static void BM_FrameEncode(benchmark::State& state)
{
    QByteArray block(65, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char(i * 29);
    for (auto _ : state)
        benchmark::DoNotOptimize(Frame::encode(block));
    state.SetBytesProcessed(int64_t(state.iterations()) * block.size());
}
BENCHMARK(BM_FrameEncode);

BENCHMARK_MAIN();
