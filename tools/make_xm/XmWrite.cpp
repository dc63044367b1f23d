// Writing .xm files.
#include "tools/make_xm/XmWrite.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/little_endian/LittleEndian.h"

namespace {

// A cycle of 32 samples played at the format's C-4 rate (8363 Hz) sounds at 261 Hz, so
// notes play at their own pitch without tuning.
constexpr int kCycleSamples = 32;
constexpr int kNoiseSamples = 4096;
constexpr std::uint32_t kHeaderSize = 276;
constexpr std::uint32_t kInstrumentHeaderSize = 263;
constexpr std::uint32_t kSampleHeaderSize = 40;

void Put8(std::vector<std::uint8_t>& out, int value) { out.push_back(static_cast<std::uint8_t>(value)); }

// Text padded with zeros (or cut) to `size` bytes.
void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) Put8(out, i < text.size() ? text[i] : 0);
}

std::vector<std::int16_t> ShapeSamples(WaveShape shape) {
    std::vector<std::int16_t> samples(shape == WaveShape::Noise ? kNoiseSamples : kCycleSamples);
    std::uint32_t noise = kNoiseSeed;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double phase = static_cast<double>(i % kCycleSamples) / kCycleSamples;
        samples[i] = static_cast<std::int16_t>(std::lround(WaveShapeValue(shape, phase, noise) * 24000.0));
    }
    return samples;
}

void PutInstrument(std::vector<std::uint8_t>& out, const XmInstrument& instrument) {
    AppendLe32(out, kInstrumentHeaderSize);
    PutText(out, instrument.name, 22);
    Put8(out, 0);   // type
    AppendLe16(out, 1);  // samples
    AppendLe32(out, kSampleHeaderSize);
    out.insert(out.end(), 96, 0);  // every note plays sample 0
    for (std::size_t point = 0; point < 12; ++point) {
        const bool set = point < instrument.envelope.size();
        AppendLe16(out, set ? static_cast<std::uint32_t>(instrument.envelope[point].first) : 0);
        AppendLe16(out, set ? static_cast<std::uint32_t>(instrument.envelope[point].second) : 0);
    }
    out.insert(out.end(), 48, 0);  // no panning envelope
    Put8(out, static_cast<int>(instrument.envelope.size()));
    Put8(out, 0);
    out.insert(out.end(), 6, 0);  // sustain and loop points
    Put8(out, instrument.envelope.empty() ? 0 : 1);
    Put8(out, 0);
    out.insert(out.end(), 4, 0);  // vibrato
    AppendLe16(out, 0);                 // fade-out
    out.insert(out.end(), 22, 0);  // reserved

    const std::vector<std::int16_t> samples = ShapeSamples(instrument.shape);
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    AppendLe32(out, bytes);
    AppendLe32(out, 0);      // loop start
    AppendLe32(out, bytes);  // loop length: the whole sample
    Put8(out, instrument.volume);
    Put8(out, 0);         // finetune
    Put8(out, 1 | 0x10);  // forward loop, 16-bit
    Put8(out, 128);       // panning
    Put8(out, 0);         // relative note
    Put8(out, 0);
    PutText(out, instrument.name, 22);
    // Sample data as differences from the previous sample.
    std::int16_t previous = 0;
    for (std::int16_t sample : samples) {
        AppendLe16(out, static_cast<std::uint16_t>(sample - previous));
        previous = sample;
    }
}

}  // namespace

std::vector<std::uint8_t> WriteXm(const XmSong& song) {
    std::vector<std::uint8_t> out;
    PutText(out, "Extended Module: ", 17);
    PutText(out, song.title, 20);
    Put8(out, 0x1A);
    PutText(out, "make_xm", 20);
    AppendLe16(out, 0x0104);
    AppendLe32(out, kHeaderSize);
    AppendLe16(out, static_cast<std::uint32_t>(song.orders.size()));
    AppendLe16(out, static_cast<std::uint32_t>(song.restart));
    AppendLe16(out, static_cast<std::uint32_t>(song.channels));
    AppendLe16(out, static_cast<std::uint32_t>(song.patterns.size()));
    AppendLe16(out, static_cast<std::uint32_t>(song.instruments.size()));
    AppendLe16(out, 1);  // linear frequency table
    AppendLe16(out, static_cast<std::uint32_t>(song.speed));
    AppendLe16(out, static_cast<std::uint32_t>(song.bpm));
    for (std::size_t order = 0; order < 256; ++order)
        Put8(out, order < song.orders.size() ? song.orders[order] : 0);

    for (const XmPattern& pattern : song.patterns) {
        AppendLe32(out, 9);
        Put8(out, 0);
        AppendLe16(out, static_cast<std::uint32_t>(pattern.rows));
        AppendLe16(out, static_cast<std::uint32_t>(pattern.cells.size() * 5));
        for (const XmCell& cell : pattern.cells) {
            Put8(out, cell.note);
            Put8(out, cell.instrument);
            Put8(out, cell.volume);
            Put8(out, 0);
            Put8(out, 0);
        }
    }
    for (const XmInstrument& instrument : song.instruments) PutInstrument(out, instrument);
    return out;
}
