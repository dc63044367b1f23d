// Writing wave files.
#include "tools/make_wave/WaveEncode.h"

#include <algorithm>

#include "platform/sound/ImaAdpcm.h"
#include "tools/little_endian/LittleEndian.h"

namespace {

void PutTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// RIFF header, "fmt " chunk (with the extra bytes when there are any), an optional "fact"
// chunk, and the "data" chunk.
std::vector<std::uint8_t> WaveFile(std::uint16_t tag, std::uint32_t channels, std::uint32_t rate,
                                   std::uint32_t blockAlign, std::uint32_t bits, const std::vector<std::uint8_t>& extra,
                                   const std::uint32_t* factFrames, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    AppendLe32(out, 0);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    AppendLe32(out, static_cast<std::uint32_t>(extra.empty() ? 16 : 18 + extra.size()));
    AppendLe16(out, tag);
    AppendLe16(out, channels);
    AppendLe32(out, rate);
    AppendLe32(out, tag == 1 ? rate * blockAlign : static_cast<std::uint32_t>(static_cast<std::uint64_t>(rate) * blockAlign /
                                                                           platform::sound::ImaFramesPerBlock(blockAlign, channels)));
    AppendLe16(out, blockAlign);
    AppendLe16(out, bits);
    if (!extra.empty()) {
        AppendLe16(out, static_cast<std::uint32_t>(extra.size()));
        out.insert(out.end(), extra.begin(), extra.end());
    }
    if (factFrames != nullptr) {
        PutTag(out, "fact");
        AppendLe32(out, 4);
        AppendLe32(out, *factFrames);
    }
    PutTag(out, "data");
    AppendLe32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    const auto riffSize = static_cast<std::uint32_t>(out.size() - 8);
    out[4] = static_cast<std::uint8_t>(riffSize);
    out[5] = static_cast<std::uint8_t>(riffSize >> 8);
    out[6] = static_cast<std::uint8_t>(riffSize >> 16);
    out[7] = static_cast<std::uint8_t>(riffSize >> 24);
    return out;
}

// The code whose decoding comes closest to `sample`; the decoder's own step moves the state.
std::uint8_t EncodeNibble(std::int32_t sample, std::int32_t& predictor, std::int32_t& index) {
    std::int32_t difference = sample - predictor;
    std::uint8_t code = 0;
    if (difference < 0) {
        code = 8;
        difference = -difference;
    }
    std::int32_t step = platform::sound::kImaStepTable[index];
    for (std::uint8_t bit = 4; bit != 0; bit >>= 1) {
        if (difference >= step) {
            code |= bit;
            difference -= step;
        }
        step >>= 1;
    }
    platform::sound::DecodeImaNibble(code, predictor, index);
    return code;
}

}  // namespace

std::vector<std::uint8_t> EncodePcmWave(const std::vector<std::int16_t>& frames, std::uint32_t channels,
                                        std::uint32_t rate, std::uint32_t bits) {
    std::vector<std::uint8_t> data;
    for (std::int16_t sample : frames) {
        if (bits == 8)
            data.push_back(static_cast<std::uint8_t>((sample >> 8) + 128));
        else
            AppendLe16(data, static_cast<std::uint16_t>(sample));
    }
    return WaveFile(1, channels, rate, channels * bits / 8, bits, {}, nullptr, data);
}

std::vector<std::uint8_t> EncodeImaBlocks(const std::vector<std::int16_t>& frames, std::uint32_t channels,
                                          std::uint32_t blockBytes) {
    const std::uint32_t perBlock = platform::sound::ImaFramesPerBlock(blockBytes, channels);
    const std::size_t frameCount = frames.size() / channels;
    std::vector<std::uint8_t> data;
    if (perBlock == 0 || frameCount == 0) return data;
    auto sampleAt = [&](std::size_t frame, std::uint32_t channel) {
        return frames[std::min(frame, frameCount - 1) * channels + channel];
    };
    // The first block starts from the step that follows its opening frames best; later
    // blocks carry the step on.
    std::int32_t index[2] = {};
    for (std::uint32_t c = 0; c < channels; ++c) {
        double best = -1.0;
        for (std::int32_t start = 0; start < 89; ++start) {
            std::int32_t predictor = sampleAt(0, c);
            std::int32_t trial = start;
            double error = 0.0;
            for (std::size_t frame = 1; frame < std::min<std::size_t>(perBlock, frameCount); ++frame) {
                EncodeNibble(sampleAt(frame, c), predictor, trial);
                const double miss = predictor - sampleAt(frame, c);
                error += miss * miss;
            }
            if (best < 0.0 || error < best) {
                best = error;
                index[c] = start;
            }
        }
    }
    for (std::size_t first = 0; first < frameCount; first += perBlock) {
        const std::size_t inBlock = std::min<std::size_t>(perBlock, frameCount - first);
        std::int32_t predictor[2] = {};
        for (std::uint32_t c = 0; c < channels; ++c) {
            predictor[c] = sampleAt(first, c);
            AppendLe16(data, static_cast<std::uint16_t>(predictor[c]));
            data.push_back(static_cast<std::uint8_t>(index[c]));
            data.push_back(0);
        }
        const std::size_t groups = (inBlock - 1 + 7) / 8;
        for (std::size_t group = 0; group < groups; ++group) {
            for (std::uint32_t c = 0; c < channels; ++c) {
                for (std::size_t pair = 0; pair < 4; ++pair) {
                    const std::size_t frame = first + 1 + group * 8 + pair * 2;
                    const std::uint8_t low = EncodeNibble(sampleAt(frame, c), predictor[c], index[c]);
                    const std::uint8_t high = EncodeNibble(sampleAt(frame + 1, c), predictor[c], index[c]);
                    data.push_back(static_cast<std::uint8_t>(low | (high << 4)));
                }
            }
        }
    }
    return data;
}

std::vector<std::uint8_t> EncodeImaWave(const std::vector<std::int16_t>& frames, std::uint32_t channels,
                                        std::uint32_t rate, std::uint32_t blockBytes) {
    const std::uint32_t perBlock = platform::sound::ImaFramesPerBlock(blockBytes, channels);
    const std::vector<std::uint8_t> extra = {static_cast<std::uint8_t>(perBlock), static_cast<std::uint8_t>(perBlock >> 8)};
    const auto frameCount = static_cast<std::uint32_t>(frames.size() / channels);
    return WaveFile(17, channels, rate, blockBytes, 4, extra, &frameCount, EncodeImaBlocks(frames, channels, blockBytes));
}
