// qvn_solve's command line: the bytes, split at NUL into arguments, are either refused with a
// sentence or give a data path, a level and bounds in their ranges.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/qvn_solve/SolveOptions.h"

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
    qvn_solve::SolveOptions options;
    std::string error;
    if (!qvn_solve::ParseSolveOptions(static_cast<int>(pointers.size()), pointers.data(), options, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.help) return 0;
    if (options.data.empty() || options.level.empty() || options.maxStates < 1 || options.maxFrames < 1 ||
        options.maxStates > 10'000'000 || options.maxFrames > 1'000'000)
        std::abort();
    return 0;
}
