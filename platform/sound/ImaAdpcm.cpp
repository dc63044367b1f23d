// The IMA ADPCM block decoder.
#include "platform/sound/ImaAdpcm.h"

#include <algorithm>

namespace platform::sound {

const std::int16_t kImaStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const std::int8_t kImaIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

namespace {

constexpr std::uint32_t kHeaderBytes = 4;  // per channel: first sample, step index, a spare byte
constexpr std::uint32_t kGroupBytes = 4;   // per channel: eight codes
constexpr std::uint32_t kFramesPerGroup = 8;

}  // namespace

std::uint32_t ImaFramesPerBlock(std::uint32_t blockBytes, std::uint32_t channels) {
    if (channels != 1 && channels != 2) return 0;
    if (blockBytes > kMaxImaBlockBytes || blockBytes <= kHeaderBytes * channels) return 0;
    const std::uint32_t codeBytes = blockBytes - kHeaderBytes * channels;
    if (codeBytes % (kGroupBytes * channels) != 0) return 0;
    return 1 + codeBytes / (kGroupBytes * channels) * kFramesPerGroup;
}

std::uint32_t ImaFramesInPartialBlock(std::size_t bytes, std::uint32_t channels) {
    if (channels != 1 && channels != 2) return 0;
    if (bytes < kHeaderBytes * channels) return 0;
    const std::size_t groups = (bytes - kHeaderBytes * channels) / (kGroupBytes * channels);
    return static_cast<std::uint32_t>(1 + groups * kFramesPerGroup);
}

std::int16_t DecodeImaNibble(std::uint8_t code, std::int32_t& predictor, std::int32_t& index) {
    const std::int32_t step = kImaStepTable[index];
    std::int32_t difference = step >> 3;
    if (code & 4) difference += step;
    if (code & 2) difference += step >> 1;
    if (code & 1) difference += step >> 2;
    predictor += (code & 8) ? -difference : difference;
    predictor = std::clamp(predictor, -32768, 32767);
    index = std::clamp(index + kImaIndexTable[code & 15], 0, 88);
    return static_cast<std::int16_t>(predictor);
}

std::uint32_t DecodeImaBlock(const std::uint8_t* block, std::size_t bytes, std::uint32_t channels, std::int16_t* out) {
    const std::uint32_t frames = ImaFramesInPartialBlock(bytes, channels);
    if (frames == 0) return 0;
    std::int32_t predictor[2] = {};
    std::int32_t index[2] = {};
    for (std::uint32_t c = 0; c < channels; ++c) {
        const std::uint8_t* header = block + c * kHeaderBytes;
        predictor[c] = static_cast<std::int16_t>(header[0] | (header[1] << 8));
        index[c] = std::min<std::int32_t>(header[2], 88);
        out[c] = static_cast<std::int16_t>(predictor[c]);
    }
    const std::uint8_t* codes = block + channels * kHeaderBytes;
    const std::uint32_t groups = (frames - 1) / kFramesPerGroup;
    for (std::uint32_t group = 0; group < groups; ++group) {
        std::int16_t* groupOut = out + (1 + group * kFramesPerGroup) * channels;
        for (std::uint32_t c = 0; c < channels; ++c) {
            for (std::uint32_t b = 0; b < kGroupBytes; ++b) {
                const std::uint8_t byte = *codes++;
                groupOut[(2 * b) * channels + c] = DecodeImaNibble(byte & 15, predictor[c], index[c]);
                groupOut[(2 * b + 1) * channels + c] = DecodeImaNibble(byte >> 4, predictor[c], index[c]);
            }
        }
    }
    return frames;
}

}  // namespace platform::sound
