// Menu style files: named colours, the button text scale and brush records read into a
// style; then every brush and colour is looked up by its name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/math/ColorMath.h"
#include "engine/overlay/menu/MenuStyle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    TagFile root;
    if (!ready || root.ParseText(std::string(reinterpret_cast<const char*>(data), size).c_str()) != 0) return 0;
    auto* style = new MenuStyle("fuzz");
    ReadMenuStyle(*style, root);
    volatile std::uint32_t seen = 0;
    for (KDLLink* link = style->brushes.head; link != nullptr; link = link->next) {
        auto* record = static_cast<BrushRecord*>(link->item);
        if (style->FindBrush(record->name.Text()) != nullptr) seen = seen + record->brush.flags + record->brush.colours[0];
    }
    for (KDLLink* link = style->colors.head; link != nullptr; link = link->next) {
        const Color colour = style->FindColor(static_cast<NamedColor*>(link->item)->name.Text());
        // A file may give any float: make the bytes as the menu pages do, through the clamping conversion.
        seen = seen + ColorToARGB(colour);
    }
    delete style;
    return 0;
}
