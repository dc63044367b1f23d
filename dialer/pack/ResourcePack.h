// CResourcePack: one pack of layout files, skin bitmaps and masks. It opens its archive
// only while a use that asked for it is active, reads raw entries, loads and caches
// bitmaps and texts by entry name (without case), and reads the pack's index "Index.xml",
// which names the pack's images (colour and mask entries) and values. Every operation runs
// under the pack's own lock, so packs may be shared between threads.
#pragma once

#include <string>
#include <vector>

#include "dialer/foundation/CriticalSection.h"
#include "dialer/foundation/RefCounted.h"
#include "dialer/foundation/SharedBuffer.h"
#include "dialer/pack/ZipPackReader.h"
#include "dialer/properties/PropertyList.h"
#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

// GetPackImage's `required` bits: without the entry the image is not given.
constexpr DWORD PACK_IMAGE_REQUIRE_COLOR = 1;
constexpr DWORD PACK_IMAGE_REQUIRE_MASK = 2;

// An image of the index: its name, and the entries of its colour bitmap and its mask.
struct CPackImage {
    std::u16string name;
    std::u16string image;
    std::u16string mask;
};

class CResourcePack : public CRefCounted {
public:
    // Throws E_ORM_FAIL without a reader.
    explicit CResourcePack(CRefPtr<CZipPackReader> reader);
    ~CResourcePack() override;

    // Starts a use: with `open` the archive is opened when it is not (E_ORM_FAIL when it
    // cannot be), with `loadIndex` the index is read when it has not been (its errors are
    // thrown, and the use is not counted then). Returns 1.
    int StartUse(bool loadIndex, bool open);
    // Ends a use; the archive closes with the last one.
    void EndUse();

    // The entry's bytes / bitmap: true when there is content. With `cache` the result
    // (a failed load too) is kept under the name and given again without reading.
    bool FindDocument(LPCWSTR name, CSharedBuffer* out, bool cache);
    bool FindBitmap(LPCWSTR name, CSharedSurface* out, bool cache);
    // The colour and mask entry names of an indexed image (names compared without case).
    bool FindImage(LPCWSTR imageName, std::u16string* image, std::u16string* mask);

    // The pack's named values from its index.
    CPropertyList GetValues();
    LONG GetUseCount();
    bool IsOpen();
    bool IsIndexLoaded();

private:
    struct CPackBitmap {
        std::u16string name;
        CSharedSurface surface;
        bool loaded = false;
    };
    struct CPackText {
        std::u16string name;
        CSharedBuffer buffer;
        bool loaded = false;
    };

    void LoadIndex();
    template <class TEntry>
    static std::size_t FindOrAdd(std::vector<TEntry>& entries, LPCWSTR name);

    CPropertyList m_values;
    LONG m_useCount = 0;
    bool m_open = false;
    bool m_indexLoaded = false;
    CRefPtr<CZipPackReader> m_reader;
    // Newest last; searched from the back, as a list with new entries in front would be.
    std::vector<CPackBitmap> m_bitmaps;
    std::vector<CPackImage> m_images;
    std::vector<CPackText> m_texts;
    CCriticalSection m_lock;
};

// A scoped use of a pack: StartUse when made, EndUse when it goes.
class CPackAccess {
public:
    CPackAccess(CResourcePack* pack, bool loadIndex, bool open);
    ~CPackAccess();
    CPackAccess(const CPackAccess&) = delete;
    CPackAccess& operator=(const CPackAccess&) = delete;

private:
    CRefPtr<CResourcePack> m_pack;
};

// A pack over the zip file or folder at path; nothing is opened yet. Throws E_ORM_FAIL
// for a null path, E_OUTOFMEMORY.
CRefPtr<CResourcePack> OpenResourcePack(LPCWSTR path);
// A pack over a zip archive held in memory.
CRefPtr<CResourcePack> OpenResourcePackInMemory(const CSharedBuffer& archive);

// The colour bitmap and mask of an indexed image. False when the image is not in the
// index (start a use with `loadIndex` first) or a required bitmap is missing.
bool GetPackImage(CResourcePack* pack, LPCWSTR imageName, CSharedSurface* color, CSharedSurface* mask, bool cache,
                  DWORD required);
