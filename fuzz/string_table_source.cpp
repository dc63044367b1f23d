// String table sources (such as the dialer's CalvaneRes.txt): a table that reads is written
// as make_string_table writes it, and its file must read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/make_string_table/StringTableSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::StringTableFile table;
    std::string error;
    if (!ReadStringTableSource(std::string(reinterpret_cast<const char*>(data), size), &table, &error)) return 0;
    const std::vector<std::uint8_t> bytes = table.Serialize();
    if (!platform::StringTableFile::Parse(bytes.data(), bytes.size(), &error)) __builtin_trap();
    return 0;
}
