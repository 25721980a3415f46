#include "ZarvoRandom.h"

#include <chrono>

namespace {
uint32_t GSeed = 0;
bool GFixed = false;
} // namespace

namespace ZarvoRandom {

void Randomize()
{
    if (GFixed)
        return;
    // The low 32 bits of a fast-running counter: two boards loaded in the
    // same second still shuffle differently.
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    GSeed = uint32_t(uint64_t(ticks));
}

void SetSeed(uint32_t seed)
{
    GSeed = seed;
}

uint32_t Seed()
{
    return GSeed;
}

uint32_t Random(uint32_t n)
{
    GSeed = GSeed * 134775813u + 1u; // wraps modulo 2^32
    return uint32_t((uint64_t(GSeed) * uint64_t(n)) >> 32);
}

void SetFixedSeed(bool fixed)
{
    GFixed = fixed;
}

} // namespace ZarvoRandom
