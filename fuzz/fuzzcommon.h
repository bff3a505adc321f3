#pragma once

// What every harness shares: the rule check, the per-input hang rule and a scratch folder for inputs
// written as files.
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace Fuzz
{
// A broken rule ends the run with its name; libFuzzer keeps the input.
inline void check(bool holds, const char* what)
{
    if (!holds) {
        fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// CPU time of the calling thread: what the harness itself spent, whatever the priority it runs at and
// however busy the machine is.
inline double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The hang rule: made at the start of an input, it ends the run when the input takes more CPU time of
// the harness thread than the limit. A watchdog thread reads that thread's CPU clock 20 times a second
// and stops an input that never returns, in the looping thread so that the report shows where; an
// input that returns is checked exactly. (A timer on the CPU clock, armed per input, cost the frame
// harness 8 % of its inputs.) KV847_FUZZ_CPU_LIMIT_MS replaces the limit (to hunt slow inputs); with
// KV847_FUZZ_CPU_LOG naming a file, each input's time is appended to it in milliseconds, one a line.
class InputTime
{
public:
    explicit InputTime(double limitMs) : m_limitMs(limitFrom(limitMs)), m_startMs(threadCpuMs())
    {
        Watch& w = watch();
        w.limitMs = m_limitMs;
        w.startMs = m_startMs;
        ++w.phase; // odd while an input runs
    }
    InputTime(const InputTime&) = delete;
    InputTime& operator=(const InputTime&) = delete;
    ~InputTime()
    {
        ++watch().phase;
        const double ms = threadCpuMs() - m_startMs;
        if (FILE* log = logFile())
            fprintf(log, "%.3f\n", ms);
        if (ms > m_limitMs) {
            fprintf(stderr, "input took %.1f ms of CPU time, over the limit of %.0f ms\n", ms, m_limitMs);
            check(false, "no hang: each input within its CPU time limit");
        }
    }

private:
    struct Watch {
        std::atomic<unsigned> phase{0};
        std::atomic<double> startMs{0}, limitMs{0};
    };

    static double limitFrom(double limitMs)
    {
        static const double given = [] {
            const char* text = std::getenv("KV847_FUZZ_CPU_LIMIT_MS");
            return text ? std::atof(text) : 0.0;
        }();
        return given > 0 ? given : limitMs;
    }

    static void overLimit(int)
    {
        static const char text[] = "broken: no hang: an input ran over its CPU time limit\n";
        (void)!write(STDERR_FILENO, text, sizeof text - 1);
        std::abort();
    }

    // Started on first use, on the thread the inputs run on. An input counts as the same one only
    // while the phase stays odd and unchanged around the clock reading.
    static Watch& watch()
    {
        static Watch* const w = [] {
            auto* state = new Watch;
            struct sigaction on {
            };
            on.sa_handler = overLimit;
            sigaction(SIGXCPU, &on, nullptr);
            const pthread_t harness = pthread_self();
            clockid_t clock;
            if (pthread_getcpuclockid(harness, &clock) != 0)
                return state; // the check at the end still holds
            std::thread([state, harness, clock] {
                for (;;) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    const unsigned phase = state->phase;
                    if (phase % 2 == 0)
                        continue;
                    timespec t{};
                    clock_gettime(clock, &t);
                    const double now = double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
                    if (state->phase == phase && now - state->startMs > state->limitMs)
                        pthread_kill(harness, SIGXCPU);
                }
            }).detach();
            return state;
        }();
        return *w;
    }

    static FILE* logFile()
    {
        static FILE* const log = [] {
            const char* name = std::getenv("KV847_FUZZ_CPU_LOG");
            FILE* f = name && *name ? std::fopen(name, "a") : nullptr;
            if (f)
                setvbuf(f, nullptr, _IOLBF, 0);
            return f;
        }();
        return log;
    }

    double m_limitMs;
    double m_startMs;
};

// The CPU time an input of a harness without a window may take. These inputs take 0.04 ms (frames) and
// 0.13 ms (firmware) at the median under AddressSanitizer and UBSan, under 0.7 ms in 999 of 1000, and
// 0.35 ms at most without the sanitizers. But 10 ms cannot hold under the sanitizers: the allocator
// recycles its quarantine of freed blocks in batches, on whichever input fills it, and that input
// pays up to 45 ms (measured on 1.1 million inputs, every few thousand inputs about 12 ms). 250 ms
// leaves a busy machine room and still stops an endless or quadratic loop within a quarter second.
constexpr double FileCpuLimitMs = 250;

// Where a harness writes its input as a file: in memory when the system offers it.
inline QTemporaryDir* scratchFolder()
{
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isDir();
    return new QTemporaryDir(shm ? QStringLiteral("/dev/shm/kv847-fuzz-XXXXXX") : QString());
}
} // namespace Fuzz
