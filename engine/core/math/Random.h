// Random: the engine's one random generator, shared by the loaders and the level: a 32-bit
// seed stepped as seed x 1664525 + 1013904223 (modulo 2^32).
#pragma once

#include <cstdint>

constexpr std::uint32_t kInitialRandomSeed = 0x38549391u;

// Steps the seed and gives the new seed shifted right by 5 bits.
std::uint32_t NextRandom();
std::uint32_t RandomSeed();
void SetRandomSeed(std::uint32_t seed);
