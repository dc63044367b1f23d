// Fuzzes the string resource file reader: a file it accepts must write back to the same
// bytes and answer look-ups of its ids.
#include <cstdint>
#include <string>

#include "platform/base/StringResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto table = platform::StringTableFile::Parse(data, size, &error);
    if (!table) return 0;
    const std::vector<std::uint8_t> written = table->Serialize();
    if (written.size() != size || !std::equal(written.begin(), written.end(), data)) __builtin_trap();
    std::size_t length = 0;
    for (UINT id = 0; id < 64; ++id) table->Find(id, &length);
    return 0;
}
