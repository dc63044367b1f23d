// The game's configuration file: every line of the input through the key table, with an
// installed-application look-up that answers folders of every length.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/app/AppConfig.h"
#include "engine/core/files/FileStream.h"

namespace {
bool LongInstallFolder(const char* name, char* folder, std::size_t capacity) {
    const std::size_t length = std::strlen(name) * 3 % (capacity + 20);
    if (length >= capacity) return false;
    std::memset(folder, 'd', length);
    folder[length] = 0;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    void* image = size != 0 ? EngineAlloc(size) : nullptr;
    if (size != 0 && image == nullptr) return 0;
    if (size != 0) std::memcpy(image, data, size);
    FileStream stream;
    stream.AttachImage(image, static_cast<DWORD>(size), 0);
    AppConfig config;
    ReadConfigLines(stream, config, LongInstallFolder);
    return 0;
}
