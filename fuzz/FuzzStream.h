// The fuzzer's input as a file stream in memory, with the flags a loader opens its file with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"

inline bool AttachFuzzInput(FileStream& stream, const std::uint8_t* data, std::size_t size, DWORD flags) {
    if (size > 0xFFFFFFFFu) return false;
    auto* image = static_cast<BYTE*>(size > 0 ? EngineAlloc(size) : nullptr);
    if (size > 0 && image == nullptr) return false;
    if (size > 0) std::memcpy(image, data, size);
    stream.SetFlags(flags);
    stream.AttachImage(image, static_cast<DWORD>(size), 0);
    return true;
}
