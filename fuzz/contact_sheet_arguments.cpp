// level_contact_sheet's command line: the bytes, split at NUL into arguments, are either refused
// with a sentence or give a data path, a picture and a thumbnail size and columns in range.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzArguments.h"
#include "tools/level_contact_sheet/ContactSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzArguments arguments(data, size);
    contact_sheet::SheetOptions options;
    std::string error;
    if (!contact_sheet::ParseSheetOptions(arguments.Count(), arguments.Values(), options, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.help) return 0;
    if (options.data.empty() || options.picture.empty() || options.thumbWidth < 16 || options.thumbWidth > 1024 ||
        options.thumbHeight < 16 || options.thumbHeight > 1024 || options.columns < 1 || options.columns > 64)
        std::abort();
    return 0;
}
