// Credits entries: the input as UTF-16 text (pairs of bytes) is split into its tag and body
// as the credits page takes an entry, and as the closing line of the right-to-left layout.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "game/menu/CreditsMenuPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready) return 0;
    std::vector<WCHAR> text(size / 2 + 1, 0);
    for (std::size_t i = 0; i + 1 < size; i += 2) text[i / 2] = static_cast<WCHAR>(data[i] | data[i + 1] << 8);
    const CreditsEntry entry = SplitCreditsEntry(text.data());
    const EngineWString closing = ClosingLine(text.data());
    volatile std::uint32_t seen = entry.tag.Length() + entry.body.Length() + closing.Length();
    (void)seen;
    return 0;
}
