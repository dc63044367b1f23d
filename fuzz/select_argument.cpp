// The item number a selection page reads from a menu command's argument: any text gives a
// number from 0 to 9999, and the level it stands for lies among the 53 levels for every
// world.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/menu/SelectScroll.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int32_t item = ParseItemNumber(text.c_str());
    if (item < 0 || item > 9999) std::abort();
    for (std::int32_t world = -1; world <= 10; ++world) {
        const std::int32_t level = ChosenLevel(WorldLevelBase(world), item);
        if (level < 0 || level > kLastLevel) std::abort();
    }
    const std::int32_t row = ClampRow(item - 5000, item % 17, 4);
    if (row < 0 || row > 16) std::abort();
    return 0;
}
