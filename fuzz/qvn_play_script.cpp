// qvn_play's input scripts, then the commands of every frame they name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/qvn_play/PlayScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<qvn_play::ScriptLine> lines;
    std::string error;
    if (!qvn_play::ParsePlayScript(std::string(reinterpret_cast<const char*>(data), size), lines, error)) return 0;
    volatile std::uint32_t bits = 0;
    for (const qvn_play::ScriptLine& line : lines) bits = bits | qvn_play::BitsAtFrame(lines, line.last);
    return 0;
}
