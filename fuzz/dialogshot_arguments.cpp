// dialogshot's command line: the bytes, split at NUL into arguments, are either refused with a
// sentence or give a request with a pack and a dialog, a picture unless it shows a window, and
// a density and size in their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/dialogshot/DialogShot.h"

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
    ShotRequest request;
    std::string error;
    if (!ParseShotArguments(static_cast<int>(pointers.size()), pointers.data(), &request, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (request.pack.empty() || request.dialog.empty() || request.png.empty() != request.window) std::abort();
    if (request.dpi < 24 || request.dpi > 1200 || request.width < 16 || request.width > 4096 || request.height < 16 ||
        request.height > 4096)
        std::abort();
    return 0;
}
