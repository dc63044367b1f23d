// Layouts of sample data.
#include "platform/sound/SoundSource.h"

#include <limits>

#include "platform/sound/ImaAdpcm.h"

namespace platform::sound {

namespace {

constexpr std::uint64_t kMaxFrames = std::numeric_limits<std::uint32_t>::max() - 1;

}  // namespace

bool DescribePcm(SoundSource& source, const std::uint8_t* data, std::size_t bytes, std::uint32_t channels,
                 std::uint32_t bits) {
    if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || data == nullptr) return false;
    const std::uint64_t frameBytes = channels * (bits / 8);
    const std::uint64_t frames = bytes / frameBytes;
    if (frames == 0 || frames > kMaxFrames) return false;
    source = SoundSource{data, bytes, static_cast<std::uint32_t>(frames), channels,
                         bits == 8 ? Encoding::Pcm8 : Encoding::Pcm16, 0, 0};
    return true;
}

bool DescribeIma(SoundSource& source, const std::uint8_t* data, std::size_t bytes, std::uint32_t channels,
                 std::uint32_t blockBytes) {
    const std::uint32_t perBlock = ImaFramesPerBlock(blockBytes, channels);
    if (perBlock == 0 || data == nullptr) return false;
    const std::uint64_t fullBlocks = bytes / blockBytes;
    const std::uint64_t frames = fullBlocks * perBlock + ImaFramesInPartialBlock(bytes % blockBytes, channels);
    if (frames == 0 || frames > kMaxFrames) return false;
    source = SoundSource{data, bytes, static_cast<std::uint32_t>(frames), channels, Encoding::ImaAdpcm, blockBytes,
                         perBlock};
    return true;
}

std::uint32_t PcmBytesPerFrame(const SoundSource& source) {
    return source.channels * (source.encoding == Encoding::Pcm8 ? 1 : 2);
}

}  // namespace platform::sound
