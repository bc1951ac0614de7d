#include "platform/random_source.h"

#include <bit>
#include <cstdint>
#include <random>

namespace rt {

namespace {

class Twister final : public RandomSource
{
public:
    void reseed(float seed) override { m_engine.seed(std::bit_cast<std::uint32_t>(seed)); }
    double next() override
    {
        // 53 random bits over 2^53: never 1, whatever the rounding.
        return double(m_engine() >> 11) * 0x1p-53;
    }

private:
    std::mt19937_64 m_engine;
};

RandomSource *g_source = nullptr;  // the event thread's only

} // namespace

RandomSource &randomSource()
{
    static Twister program;
    return g_source ? *g_source : program;
}

ScopedRandomSource::ScopedRandomSource(RandomSource &source)
    : m_before(g_source)
{
    g_source = &source;
}

ScopedRandomSource::~ScopedRandomSource()
{
    g_source = m_before;
}

} // namespace rt
