// Appending little-endian integers to a byte vector, as the data tools write their files.
#pragma once

#include <cstdint>
#include <vector>

inline void AppendLe16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    AppendLe16(out, value & 0xFFFF);
    AppendLe16(out, value >> 16);
}

inline void AppendLe64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    AppendLe32(out, static_cast<std::uint32_t>(value));
    AppendLe32(out, static_cast<std::uint32_t>(value >> 32));
}
