// qvn_play's command line: the bytes, split at NUL into arguments, are either refused with a
// sentence or give a data path, a level, a script and counts in their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzArguments.h"
#include "tools/qvn_play/PlayOptions.h"
#include "tools/qvn_play/PlayScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzArguments arguments(data, size);
    qvn_play::PlayOptions options;
    std::string error;
    if (!qvn_play::ParsePlayOptions(arguments.Count(), arguments.Values(), options, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.data.empty() || options.level.empty() || options.script.empty() || options.frames < 1 ||
        options.frames > qvn_play::kMaximumFrame || options.pngEvery < 0 || options.pngEvery > qvn_play::kMaximumFrame ||
        (options.pngEvery > 0) == options.pngFolder.empty())
        std::abort();
    return 0;
}
