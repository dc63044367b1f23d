// TagFile text: parse, read every tag's values, write the tree and parse the text again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/files/TagFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    TagFile root;
    if (root.ParseText(text.c_str()) != 0) return 0;
    for (KDLLink* link = root.tags.head; link != nullptr; link = link->next) {
        const auto* tag = static_cast<const TagFileTag*>(link->item);
        Vector3 v;
        Color c;
        float f;
        std::uint32_t u;
        EngineString s;
        tag->GetVector3(0, v), tag->GetColor(0, c), tag->GetFloat(0, f), tag->GetUInt(0, u), tag->GetString(0, s);
    }
    root.FindTagByPath(text.c_str());
    TagFile again;
    again.ParseText(root.WriteText().Text());
    return 0;
}
