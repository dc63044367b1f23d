// The waveforms.
#include "tools/waveform/Waveform.h"

#include <cmath>
#include <numbers>
#include <utility>

bool WaveShapeNamed(const std::string& name, WaveShape& shape) {
    static const std::pair<const char*, WaveShape> kShapes[] = {{"sine", WaveShape::Sine},
                                                                {"square", WaveShape::Square},
                                                                {"triangle", WaveShape::Triangle},
                                                                {"saw", WaveShape::Saw},
                                                                {"noise", WaveShape::Noise}};
    for (const auto& [text, value] : kShapes)
        if (name == text) {
            shape = value;
            return true;
        }
    return false;
}

double WaveShapeValue(WaveShape shape, double phase, std::uint32_t& noise) {
    switch (shape) {
        case WaveShape::Sine:
            return std::sin(2.0 * std::numbers::pi * phase);
        case WaveShape::Square:
            return phase < 0.5 ? 1.0 : -1.0;
        case WaveShape::Triangle:
            return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
        case WaveShape::Saw:
            return 2.0 * phase - 1.0;
        case WaveShape::Noise:
            noise = noise * 1664525u + 1013904223u;
            return static_cast<double>(noise >> 8) / static_cast<double>(1u << 23) - 1.0;
    }
    return 0.0;
}
