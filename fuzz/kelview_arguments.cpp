// kelview's command line: the bytes, split at NUL into arguments, are either refused with a
// sentence or give a picture to write (or objects to bake) and a view whose numbers are in
// their ranges and finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzArguments.h"
#include "tools/kelview/ViewOptions.h"

namespace {

bool Finite(const kelview::Triple& t) { return std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z); }
bool InUnitRange(const kelview::Triple& t) {
    return t.x >= 0 && t.x <= 1 && t.y >= 0 && t.y <= 1 && t.z >= 0 && t.z <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzArguments arguments(data, size);
    kelview::ViewOptions options;
    std::string error;
    if (!kelview::ParseViewOptions(arguments.Count(), arguments.Values(), &options, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.help) return 0;
    const bool shown = options.bake ? !options.objects.empty() : !options.picture.empty();
    if (!shown || options.width < 16 || options.width > 4096 || options.height < 16 || options.height > 4096 ||
        !Finite(options.eye) || !Finite(options.target) || !Finite(options.lightDirection) ||
        !std::isfinite(options.fieldOfView) || options.fieldOfView < 1 || options.fieldOfView > 170 ||
        !InUnitRange(options.lightColour) || !InUnitRange(options.ambient) || options.background > 0xFFFFFF ||
        !std::isfinite(options.frame) || options.frame < 0)
        std::abort();
    return 0;
}
