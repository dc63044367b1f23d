// level_contact_sheet's command line: the bytes, split at NUL into arguments, are either refused
// with a sentence or give a data path, a picture and a thumbnail size and columns in range.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/level_contact_sheet/ContactSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size && arguments.size() < 64; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    contact_sheet::SheetOptions options;
    std::string error;
    if (!contact_sheet::ParseSheetOptions(static_cast<int>(pointers.size()), pointers.data(), options, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.help) return 0;
    if (options.data.empty() || options.picture.empty() || options.thumbWidth < 16 || options.thumbWidth > 1024 ||
        options.thumbHeight < 16 || options.thumbHeight > 1024 || options.columns < 1 || options.columns > 64)
        std::abort();
    return 0;
}
