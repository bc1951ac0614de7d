#pragma once
// The pseudo-random generator of the runtime the panel was first written
// for, as one seam: reseed it from a number, then draw uniform numbers
// 0 <= r < 1. The program's generator is a Mersenne twister; tests put a
// scripted one in its place, so a demonstration reading is known in advance.

namespace rt {

class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // The same seed gives the same draws after it.
    virtual void reseed(float seed) = 0;
    // Uniform, 0 <= r < 1.
    virtual double next() = 0;
};

// The generator in use: a test's while a ScopedRandomSource lives, else the
// program's own.
RandomSource &randomSource();

// Puts `source` in place of the generator for as long as it lives (tests).
class ScopedRandomSource
{
public:
    explicit ScopedRandomSource(RandomSource &source);
    ~ScopedRandomSource();
    ScopedRandomSource(const ScopedRandomSource &) = delete;
    ScopedRandomSource &operator=(const ScopedRandomSource &) = delete;

private:
    RandomSource *m_before;
};

} // namespace rt
