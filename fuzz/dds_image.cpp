// The DDS reader over any bytes: every level it fills lies inside the level's buffer.
#include <cstddef>
#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "engine/render/ImageReaders.h"
#include "fuzz/TextureSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    TextureSink texture;
    ReadDdsImage(texture, data, size, "fuzz.dds", 0);
    return 0;
}
