// Fuzz harness: the bytes, up to the first NUL, are the value of each environment variable the
// platform reads (HANDSET_SCREEN, HANDSET_DISPLAY, HANDSET_REFRESH, HANDSET_AUDIO,
// HANDSET_CLOCK and LANG), through the function that parses it. Whatever is accepted lies in
// the documented ranges.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/base/Clock.h"
#include "platform/base/Locale.h"
#include "platform/screen/ScreenSettings.h"
#include "platform/sound/AudioOutput.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string value(reinterpret_cast<const char*>(data), size);
    const char* text = value.c_str();  // ends at the first NUL, as an environment value does
    std::string error;

    platform::screen::DisplayGeometry geometry;
    if (platform::screen::ParseScreenSpec(text, geometry, error))
        Check(InRange(geometry.nativeWidth, platform::screen::kMinDisplaySide, platform::screen::kMaxDisplaySide) &&
              InRange(geometry.nativeHeight, platform::screen::kMinDisplaySide, platform::screen::kMaxDisplaySide) &&
              InRange(geometry.dpi, platform::screen::kMinDpi, platform::screen::kMaxDpi));
    platform::screen::ScreenSettings settings;
    platform::screen::ParseDisplayMode(text, false, settings, error);
    int hz = 0;
    if (platform::screen::ParseRefreshRate(text, hz, error)) Check(InRange(hz, 0, platform::screen::kMaxRefreshHz));

    platform::sound::OutputSpec spec;
    if (platform::sound::ParseAudioVariable(text, spec, error))
        Check(spec.kind != platform::sound::OutputKind::Wave || !spec.path.empty());
    DWORD msPerFrame = 0;
    platform::clock::ParseClockVariable(text, msPerFrame);

    const LANGID language = LangIdFromLocaleName(text);
    Check(PRIMARYLANGID(language) != 0 && SUBLANGID(language) != 0);
    return 0;
}
