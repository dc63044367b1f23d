// The accelerometer driver's "resolution" value: any bytes read as its wide string give a
// finite number, and what the game then uses is at least a tenth.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "game/flow/devices/AccelerometerKey.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const double value = ParseAccelResolution(data, static_cast<DWORD>(size > 0xFFFF ? 0xFFFF : size));
    if (!std::isfinite(value)) std::abort();
    const double used = value < 0.1 ? kDefaultAccelResolution : value;
    if (!(used >= 0.1)) std::abort();
    return 0;
}
