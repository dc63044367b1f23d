// The CTES reader: the file is recognised by its first word; its contents beyond that are
// not read, so the texture keeps no pixels.
#include "engine/core/memory/EngineLog.h"
#include "engine/render/ImageReaders.h"

namespace {
constexpr std::size_t kHeaderBytes = 20;
constexpr std::uint32_t kMagic = 0xCCC40002;
}  // namespace

int ReadCtesImage(const std::uint8_t* data, std::size_t size, const char* name) {
    if (data == nullptr || size < kHeaderBytes) {
        LogException("Texture file '%s' ends inside its CTES header", kTextureLogSource, __LINE__, name);
        return 1;
    }
    std::uint32_t first = static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
                          (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    if (first != kMagic) {
        LogException("Texture file '%s' is not a CTES file", kTextureLogSource, __LINE__, name);
        return 1;
    }
    return 0;
}
