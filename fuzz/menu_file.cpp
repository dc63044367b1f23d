// Menu files: up to four page files (the input split at lines "====") named P0 to P3 are
// read as the menu manager's descriptions and each parsed, so that INHERIT between them,
// chains, cycles and missing bases are all reached; then every control is looked at.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/PageDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    MenuManager& manager = GetMenuManager();
    std::size_t begin = 0;
    for (int file = 0; file < 4 && begin <= input.size(); ++file) {
        std::size_t end = input.find("\n====\n", begin);
        if (end == std::string::npos) end = input.size();
        auto* description = new PageDescription;
        description->name = EngineString::Format("P%d", file);
        description->tree = new TagFile;
        if (description->tree->ParseText(input.substr(begin, end - begin).c_str()) != 0) description->tree->Empty();
        ListAppend(manager.descriptions, description);
        begin = end + 6;
    }
    volatile std::uint32_t seen = 0;
    for (KDLLink* link = manager.descriptions.head; link != nullptr; link = link->next) {
        auto* description = static_cast<PageDescription*>(link->item);
        if (ParsePageDescription(*description) == 0) continue;
        for (KDLLink* at = description->controls.head; at != nullptr; at = at->next) {
            auto* control = static_cast<ControlDescription*>(at->item);
            seen = seen + control->id + static_cast<std::uint32_t>(control->x) + control->scripts.count;
            if (EventScript* click = control->FindClickScript()) seen = seen + click->first.Length();
        }
    }
    manager.Shutdown();
    return 0;
}
