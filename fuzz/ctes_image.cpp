// The CTES reader over any bytes. The first input byte chooses whether the file starts
// with the CTES magic word, so that acceptance is reached as often as refusal; the file is
// a buffer of exactly its size, and the reader's answer is checked against the rule that
// a file of at least a header's 20 bytes with the magic word is accepted, anything else not.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/render/ImageReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready || size == 0) return 0;
    std::vector<std::uint8_t> file(data + 1, data + size);
    const std::uint8_t magic[] = {0x02, 0x00, 0xC4, 0xCC};
    for (std::size_t i = 0; (data[0] & 1) != 0 && i < 4 && i < file.size(); ++i) file[i] = magic[i];
    bool expected = file.size() >= 20;
    for (std::size_t i = 0; expected && i < 4; ++i) expected = file[i] == magic[i];
    if ((ReadCtesImage(file.data(), file.size(), "fuzz.ctes") == 0) != expected) __builtin_trap();
    return 0;
}
