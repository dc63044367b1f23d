// Fuzzes skin packs opened from memory: the input as a zip archive, opened with its index,
// then its index's images and a few entries read.
#include <cstdint>
#include <cstring>

#include "dialer/foundation/OrmException.h"
#include "dialer/pack/ResourcePack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSharedBuffer archive = MakeSharedArray<BYTE>(size);
    if (!archive) return 0;
    std::memcpy(archive.Data(), data, size);
    try {
        CRefPtr<CResourcePack> pack = OpenResourcePackInMemory(archive);
        CPackAccess use(pack.Get(), true, true);
        CSharedBuffer text;
        pack->FindDocument(u"Dialer.xml", &text, true);
        for (LPCWSTR image : {u"Background", u"Key", u"Icons"}) {
            CSharedSurface color, mask;
            GetPackImage(pack.Get(), image, &color, &mask, true, 0);
        }
    } catch (const COrmException&) {
        // A pack that cannot be opened, or a malformed index, is reported this way.
    }
    return 0;
}
