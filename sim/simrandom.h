#pragma once

#include <QtGlobal>

// A small generator with a fixed algorithm (splitmix64): the standard library's distributions differ
// between implementations, and a seed must give the same cable and the same noise everywhere.
class SimRandom
{
public:
    explicit SimRandom(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; n must be above 0.
    quint32 below(quint32 n) { return quint32(next() % n); }
    // lo .. hi, in steps fine enough for metres, volts and decibels.
    double uniform(double lo, double hi)
    {
        return lo + (hi - lo) * double(next() >> 11) / double(1ull << 53);
    }
    bool chance(quint32 percent) { return below(100) < percent; }

private:
    quint64 m_state;
};
