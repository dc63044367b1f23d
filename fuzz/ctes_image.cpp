// The CTES reader over any bytes.
#include <cstddef>
#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "engine/render/ImageReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    ReadCtesImage(data, size, "fuzz.ctes");
    return 0;
}
