// The basic waveforms both sound tools synthesise: a shape by name and its value at a
// point of its cycle.
#pragma once

#include <cstdint>
#include <string>

enum class WaveShape { Sine, Square, Triangle, Saw, Noise };

// "sine", "square", "triangle", "saw" or "noise"; false for any other name.
bool WaveShapeNamed(const std::string& name, WaveShape& shape);

// The shape's value in [-1, 1] at `phase` (0 to 1) of its cycle. Noise ignores the phase
// and steps `noise`, a generator state the caller keeps (start it at kNoiseSeed).
double WaveShapeValue(WaveShape shape, double phase, std::uint32_t& noise);

constexpr std::uint32_t kNoiseSeed = 0x38549391;
