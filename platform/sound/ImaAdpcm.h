// IMA ADPCM as wave files store it: blocks that start with one header per channel (the first
// sample and the step index) followed by 4-bit codes, eight samples of one channel in every
// four bytes, channels taking turns.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::sound {

// The largest block the mixer decodes; wave files use a few hundred bytes to 2 KiB.
constexpr std::uint32_t kMaxImaBlockBytes = 4096;

// Sample frames in a full block of `blockBytes` bytes; 0 when the block size does not fit
// the layout (at least one header and one group of codes per channel, whole groups only,
// at most kMaxImaBlockBytes) or the channel count is not 1 or 2.
std::uint32_t ImaFramesPerBlock(std::uint32_t blockBytes, std::uint32_t channels);

// Sample frames in the `bytes` of a block that may be cut short (the last block of a file):
// the header's frame and every whole group of codes; 0 without a whole header.
std::uint32_t ImaFramesInPartialBlock(std::size_t bytes, std::uint32_t channels);

// Decodes one block (possibly cut short) into interleaved 16-bit frames; `out` has room for
// the frames ImaFramesInPartialBlock gives. Returns the frames written. A step index beyond
// the table is clamped, as decoders do.
std::uint32_t DecodeImaBlock(const std::uint8_t* block, std::size_t bytes, std::uint32_t channels, std::int16_t* out);

// One step of the decoder: the next sample from a 4-bit code, moving predictor and index.
std::int16_t DecodeImaNibble(std::uint8_t code, std::int32_t& predictor, std::int32_t& index);

// The step size for each of the 89 step indices.
extern const std::int16_t kImaStepTable[89];
// How each code moves the step index.
extern const std::int8_t kImaIndexTable[16];

}  // namespace platform::sound
