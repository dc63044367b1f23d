// The wave image reader of the streams.
#include "platform/sound/WaveImage.h"

#include <cstring>

#include "platform/sound/Mixer.h"

namespace platform::sound {

namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagImaAdpcm = 17;
constexpr std::size_t kFormatBytes = 16;

std::uint32_t Read32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

std::uint16_t Read16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

bool ReadWaveImage(std::uint8_t* image, std::size_t size, WaveImage& wave) {
    if (image == nullptr || size < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
        return false;
    const std::uint8_t* format = nullptr;
    std::size_t dataOffset = 0;
    std::size_t dataSize = 0;
    bool haveData = false;
    std::size_t at = 12;
    while (!haveData && size - at >= 8) {
        const std::uint8_t* header = image + at;
        const std::uint64_t chunkSize = Read32(header + 4);
        at += 8;
        if (chunkSize > size - at) return false;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (chunkSize < kFormatBytes) return false;
            format = image + at;
        } else if (std::memcmp(header, "data", 4) == 0) {
            dataOffset = at;
            dataSize = static_cast<std::size_t>(chunkSize);
            haveData = true;
        }
        at += static_cast<std::size_t>(chunkSize);
    }
    // The format must come before the data, as every writer puts it.
    if (format == nullptr || !haveData) return false;
    const std::uint16_t tag = Read16(format);
    const std::uint32_t channels = Read16(format + 2);
    const std::uint32_t rate = Read32(format + 4);
    const std::uint32_t blockBytes = Read16(format + 12);
    const std::uint32_t bits = Read16(format + 14);
    if (rate == 0 || rate > static_cast<std::uint32_t>(Mixer::kMaxFrequency)) return false;
    if (dataOffset % 2 != 0) {
        std::memmove(image + dataOffset - 1, image + dataOffset, dataSize);
        --dataOffset;
    }
    std::uint8_t* data = image + dataOffset;
    // Wave files keep 8-bit samples unsigned; the mixer plays them signed.
    if (tag == kTagPcm && bits == 8)
        for (std::size_t i = 0; i < dataSize; ++i) data[i] ^= 0x80;
    bool described = false;
    if (tag == kTagPcm)
        described = DescribePcm(wave.source, data, dataSize, channels, bits);
    else if (tag == kTagImaAdpcm && bits == 4)
        described = DescribeIma(wave.source, data, dataSize, channels, blockBytes);
    if (!described) return false;
    wave.rate = rate;
    return true;
}

}  // namespace platform::sound
