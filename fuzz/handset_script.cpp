// HANDSET_SCRIPT parsing: any bytes either fail with a message naming a line of the file,
// or give events in time order, each from a line that exists, with a key and a time in range.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/screen/HandsetScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform::screen;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptEvent> events;
    std::string error;
    if (!ParseHandsetScript(text, "fuzz.txt", events, error)) {
        if (error.rfind("fuzz.txt:", 0) != 0 || !events.empty()) std::abort();
        return 0;
    }
    for (std::size_t i = 0; i < events.size(); ++i) {
        const ScriptEvent& event = events[i];
        if (event.atMs > kMaxScriptMs || event.line < 1 || (i > 0 && events[i - 1].atMs > event.atMs)) std::abort();
        bool isKey = event.action == ScriptAction::KeyDown || event.action == ScriptAction::KeyUp ||
                     event.action == ScriptAction::KeyPress;
        if (isKey && (event.virtualKey == 0 || event.virtualKey > 0xFF)) std::abort();
    }
    return 0;
}
