// Wave files from 16-bit frames: PCM of 8 bits (stored unsigned, as wave files do) or 16
// bits, or IMA ADPCM (format tag 17, with the "fact" chunk that gives its frame count).
#pragma once

#include <cstdint>
#include <vector>

std::vector<std::uint8_t> EncodePcmWave(const std::vector<std::int16_t>& frames, std::uint32_t channels,
                                        std::uint32_t rate, std::uint32_t bits);

// Whole blocks of `blockBytes`; the last block holds only the groups of eight frames it
// needs (the last frame repeated to fill its group).
std::vector<std::uint8_t> EncodeImaWave(const std::vector<std::int16_t>& frames, std::uint32_t channels,
                                        std::uint32_t rate, std::uint32_t blockBytes);

// The IMA ADPCM data alone, in the same blocks.
std::vector<std::uint8_t> EncodeImaBlocks(const std::vector<std::int16_t>& frames, std::uint32_t channels,
                                          std::uint32_t blockBytes);
