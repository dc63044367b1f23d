// /proc/<pid>/stat lines for the process list: any bytes either fail or give the name found
// between the first '(' and the last ')'.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/device/ProcessList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    platform::device::ProcStat stat;
    if (platform::device::ParseProcStat(line, stat) && line.find(stat.name) == std::string_view::npos) std::abort();
    return 0;
}
