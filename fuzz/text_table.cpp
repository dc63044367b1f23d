// ".text" files: every line parsed into the table with its glyph run laid out in a one-glyph
// font, then look-ups of a found, a missing and the fallback key, and the table emptied.
#include <cstddef>
#include <cstdint>

#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/text/TextTable.h"
#include "engine/resources/font/BitmapFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t glyphFile[] = {12, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                             0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, 8, 0, 'A', 0};
    static const bool ready = HeapInit() == 0 && TextTableCreate() == 1;
    static BitmapFont* font = ready ? new BitmapFont : nullptr;
    if (font == nullptr) return 0;
    if (font->GlyphCount() == 0 && font->ReadGlyphFile(glyphFile, sizeof(glyphFile)) == 1) SetSystemFont(font);
    ParseTextFile(*GlobalTextTable(), data, size);
    std::uint32_t length = 0;
    TextTableFind(GlobalTextTable(), "MENU_START", &length);
    TextTableFind(GlobalTextTable(), "NO_SUCH_KEY", &length);
    FindTextGlyphRun("DEFAULT");
    TextTableClear(GlobalTextTable());
    return 0;
}
