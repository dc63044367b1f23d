// The TV-out queue's messages and the accelerometer's 12-byte samples: any bytes either
// change the frame cap to one of its three values or leave it, and a sample always scales
// to a value in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "game/flow/devices/AccelerometerDevice.h"
#include "game/flow/devices/FramePacer.h"
#include "game/flow/devices/TvOutMonitor.h"
#include "game/flow/devices/TvOutRate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DWORD bytes = static_cast<DWORD>(size > 0x10000 ? 0x10000 : size);
    ApplyTvOutMessage(data, bytes);
    const DWORD rate = GetTvOutFrameRate();
    if (rate != 20 && rate != 30 && rate != kNoFrameCap) std::abort();
    if (size >= 12) {
        for (int axis = 0; axis < 3; ++axis) {
            const std::uint32_t word = data[4 * axis] | (data[4 * axis + 1] << 8) | (data[4 * axis + 2] << 16) |
                                       (static_cast<std::uint32_t>(data[4 * axis + 3]) << 24);
            const std::int32_t scaled = ScaledTilt(word, 15.625);
            const std::int32_t counts = static_cast<std::int32_t>(word);
            // The sign is kept and the value never shrinks below the count.
            if ((counts > 0 && scaled < counts) || (counts < 0 && scaled > counts)) std::abort();
        }
    }
    return 0;
}
