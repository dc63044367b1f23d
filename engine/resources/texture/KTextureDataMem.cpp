// In-memory texture data: the size of every format and level, one block for the image.
#include "engine/resources/texture/KTextureDataMem.h"

#include <algorithm>

#include "engine/core/memory/EngineLog.h"

#define MEM_LOG(format, ...) LogException(format, "texturedatamem", __LINE__ __VA_OPT__(, ) __VA_ARGS__)

namespace {

constexpr std::uint32_t kPixelBits[] = {24, 16, 8, 8, 8, 16, 16, 32, 32, 0, 0, 0, 0, 0, 16, 16, 32, 0xFFFFFFFF};
constexpr std::int32_t kMaxMemoryLevels = 16;

// Bytes of one 4 x 4 block for codes 9 to 13, else 0.
std::uint32_t BlockBytes(std::uint32_t code) {
    if (code == 9) return 8;
    if (code >= 10 && code <= 13) return 16;
    return 0;
}

}  // namespace

std::uint32_t MemoryPixelBits(std::uint32_t code) {
    return code < sizeof kPixelBits / sizeof kPixelBits[0] ? kPixelBits[code] : 0;
}

KTextureDataMem::~KTextureDataMem() { FreeData(); }

void KTextureDataMem::FreeData() {
    EngineFree(data_);
    data_ = nullptr;
    dataSize_ = 0;
}

int KTextureDataMem::Create(std::int32_t width, std::int32_t height, std::int32_t levels, DWORD format, DWORD) {
    FreeData();
    format_ = format;
    const std::uint32_t code = format & 0xFFFF;
    const std::uint32_t blockBytes = BlockBytes(code);
    const std::uint32_t unit = blockBytes != 0 ? blockBytes : MemoryPixelBits(code) / 8;
    if (unit == 0 || levels < 1 || levels > kMaxMemoryLevels) {
        MEM_LOG("KTextureDataMem::Create: invalid format or LOD count");
        return 1;
    }
    if (width < 1 || height < 1) {
        MEM_LOG("KTextureDataMem::Create: the size %dx%d has no pixels", width, height);
        return 1;
    }
    width_ = width;
    height_ = height;
    levels_ = levels;
    unitSize_ = unit;

    // Sides below 2^31 keep a level's pixel count within 64 bits; once the sum passes the
    // engine's largest allocation it stops growing, as such a block could never be had.
    std::uint64_t size = 0;
    std::uint64_t w = static_cast<std::uint64_t>(width);
    std::uint64_t h = static_cast<std::uint64_t>(height);
    for (std::int32_t level = 0; level < levels && size <= kMaximumEngineAllocation; ++level) {
        if (blockBytes != 0) {
            w = std::max<std::uint64_t>(w, 4);
            h = std::max<std::uint64_t>(h, 4);
            const std::uint64_t blocks = (h / 4) * (w / 4);
            size += blocks > kMaximumEngineAllocation ? kMaximumEngineAllocation + 1 : blocks * blockBytes;
        } else {
            const std::uint64_t pixels = w * h;
            size += pixels > kMaximumEngineAllocation ? kMaximumEngineAllocation + 1 : pixels * unit;
        }
        w /= 2;
        h /= 2;
    }
    if ((format & 0x80000000u) != 0 && size <= kMaximumEngineAllocation) size *= 6;
    if (size != 0 && size <= kMaximumEngineAllocation) data_ = static_cast<std::uint8_t*>(EngineAlloc(size));
    if (data_ == nullptr) {
        MEM_LOG("KTextureDataMem::Create: failed to alloc");
        return 1;
    }
    dataSize_ = size;
    return 0;
}

void* KTextureDataMem::Lock(std::int32_t level, std::int32_t* pitch, DWORD) {
    if (data_ == nullptr || level < 0 || level >= levels_) return nullptr;
    const std::int32_t minimum = BlockBytes(format_ & 0xFFFF) != 0 ? 4 : 1;
    // A block that was allocated bounds the row size well below 2^31.
    if (pitch != nullptr)
        *pitch = static_cast<std::int32_t>(std::uint64_t{unitSize_} *
                                           static_cast<std::uint64_t>(std::max(width_ >> level, minimum)));
    return data_;
}
