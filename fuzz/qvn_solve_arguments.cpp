// qvn_solve's command line: the bytes, split at NUL into arguments, are either refused with a
// sentence or give a data path, a level and bounds in their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzArguments.h"
#include "tools/qvn_solve/SolveOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzArguments arguments(data, size);
    qvn_solve::SolveOptions options;
    std::string error;
    if (!qvn_solve::ParseSolveOptions(arguments.Count(), arguments.Values(), options, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.help) return 0;
    if (options.data.empty() || options.level.empty() || options.maxStates < 1 || options.maxFrames < 1 ||
        options.maxStates > 10'000'000 || options.maxFrames > 1'000'000)
        std::abort();
    return 0;
}
