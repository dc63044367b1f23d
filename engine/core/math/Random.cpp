// The engine's random generator.
#include "engine/core/math/Random.h"

namespace {
std::uint32_t seed = kInitialRandomSeed;
}

std::uint32_t NextRandom() {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 5;
}

std::uint32_t RandomSeed() { return seed; }

void SetRandomSeed(std::uint32_t value) { seed = value; }
