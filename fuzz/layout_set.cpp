// Fuzzes layout-set files through the loader at 192 dpi: malformed files may only throw
// COrmException; a set that reads has its layouts, groups and rules walked.
#include <cstdint>
#include <cstring>
#include <vector>

#include "dialer/layout/LayoutRepository.h"
#include "dialer/surface/ScreenDpi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetScreenDpi(192, 192);
    CSharedBuffer bytes = MakeSharedArray<BYTE>(size);
    if (bytes) std::memcpy(bytes.Data(), data, size);
    try {
        CRefPtr<CLayoutSet> set = ParseLayoutSetFile(bytes, u"qa_layouts/Fuzz.xml");
        std::vector<const CLayoutEntry*> pending{set->GetLayouts()};
        while (!pending.empty()) {
            const CLayoutEntry* entry = pending.back();
            pending.pop_back();
            LONG value = 0;
            entry->GetProperties().GetInt(PROPERTY_INT3, &value);
            for (std::size_t i = 0; entry->GetEntries() != nullptr && i < entry->GetEntries()->GetCount(); ++i)
                pending.push_back(entry->GetEntries()->GetAt(i));
        }
        std::u16string chosen;
        set->GetRules()->Evaluate(nullptr, &chosen);
    } catch (const COrmException&) {
    }
    return 0;
}
