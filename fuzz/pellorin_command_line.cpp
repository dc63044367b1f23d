// Fuzzes Pellorin's command line: the bytes are a UTF-16 line read for its option and number
// and for a "-date" option, which must be a date that exists whenever one is read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pimhelper/CommandLine.h"
#include "platform/com/VariantTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string line(size / sizeof(char16_t), u'\0');
    std::memcpy(line.data(), data, line.size() * sizeof(char16_t));
    DWORD number = 0;
    ParseCommandLine(line.c_str(), &number);
    SYSTEMTIME date{};
    DATE checked = 0;
    if (ParseDateOption(u"-date", line.c_str(), &date) && !SystemTimeToVariantTime(&date, &checked)) std::abort();
    return 0;
}
