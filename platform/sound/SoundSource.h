// What a channel plays: sample data in memory (a sample's, or a stream's wave image) and how
// to read it as frames: 8- or 16-bit signed PCM, or IMA ADPCM blocks; one or two channels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::sound {

enum class Encoding : std::uint8_t { Pcm8, Pcm16, ImaAdpcm };

struct SoundSource {
    const std::uint8_t* data = nullptr;
    std::size_t bytes = 0;
    std::uint32_t frames = 0;
    std::uint32_t channels = 1;
    Encoding encoding = Encoding::Pcm16;
    std::uint32_t blockBytes = 0;      // IMA ADPCM: bytes of a full block
    std::uint32_t framesPerBlock = 0;  // IMA ADPCM: frames of a full block
};

// Fill `source` for data of the given layout; false (source untouched) when the layout is
// not one the mixer plays (1 or 2 channels; 8 or 16 bits; an IMA block size that
// ImaFramesPerBlock accepts) or the data holds no whole frame. Bytes beyond the last whole
// frame are not played.
bool DescribePcm(SoundSource& source, const std::uint8_t* data, std::size_t bytes, std::uint32_t channels,
                 std::uint32_t bits);
bool DescribeIma(SoundSource& source, const std::uint8_t* data, std::size_t bytes, std::uint32_t channels,
                 std::uint32_t blockBytes);

// Bytes of one frame as the stream positions count them (IMA ADPCM counts as decoded 16-bit).
std::uint32_t PcmBytesPerFrame(const SoundSource& source);

}  // namespace platform::sound
