#pragma once

#include <cstdint>

// The program-wide 32-bit linear congruential generator shared by the
// start-position shuffle and the puzzle expert.
namespace ZarvoRandom {
// Seeds from the high-resolution clock (low 32 bits).
void Randomize();
void SetSeed(uint32_t seed);
uint32_t Seed();
// seed := seed * 134775813 + 1 (mod 2^32); returns the upper 32 bits of the
// 64-bit product seed * n: a value in 0..n-1 (0 for n = 0).
uint32_t Random(uint32_t n);
// While set (tests, zarvos-cli --seed), Randomize() keeps the current seed.
void SetFixedSeed(bool fixed);
} // namespace ZarvoRandom
