// Resource packs: uses of the archive, the caches, and the index.
#include "dialer/pack/ResourcePack.h"

#include <new>

#include "dialer/foundation/OrmException.h"
#include "dialer/properties/ValueReader.h"
#include "dialer/xml/XmlDocument.h"
#include "platform/base/WideString.h"

namespace {

// Reads the index's "Bitmap" elements into images; the value elements beside them become
// the pack's values.
class CPackIndexReader : public CValueReader {
public:
    void ReadOther(LPCWSTR elementName, const CXmlElement& element, CPropertyList&) override {
        if (elementName == nullptr || wcscmp(elementName, u"Bitmap") != 0) return;
        LPCWSTR name = element.GetAttributeValue(u"Name");
        if (name == nullptr || *name == 0) ThrowOrm(E_ORM_FAIL);
        LPCWSTR image = element.GetAttributeValue(u"Image");
        LPCWSTR mask = element.GetAttributeValue(u"Mask");
        images.push_back(CPackImage{name, image != nullptr ? image : u"", mask != nullptr ? mask : u""});
    }

    std::vector<CPackImage> images;
};

template <class TEntry>
std::size_t FindByName(const std::vector<TEntry>& entries, LPCWSTR name) {
    for (std::size_t i = entries.size(); i-- > 0;)
        if (_wcsicmp(entries[i].name.c_str(), name) == 0) return i;
    return entries.size();
}

}  // namespace

CResourcePack::CResourcePack(CRefPtr<CZipPackReader> reader) : m_reader(std::move(reader)) {
    if (!m_reader) ThrowOrm(E_ORM_FAIL);
}

CResourcePack::~CResourcePack() {
    if (m_open) m_reader->Close();
}

template <class TEntry>
std::size_t CResourcePack::FindOrAdd(std::vector<TEntry>& entries, LPCWSTR name) {
    const std::size_t found = FindByName(entries, name);
    if (found < entries.size()) return found;
    try {
        TEntry entry;
        entry.name = name;
        entries.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
    return entries.size() - 1;
}

int CResourcePack::StartUse(bool loadIndex, bool open) {
    CAutoLock lock(m_lock);
    if (open && !m_open) {
        // The use is counted only once the archive is open: a pack that failed to open
        // must still close when its other uses end.
        if (!m_reader->Open()) ThrowOrm(E_ORM_FAIL);
        m_open = true;
    }
    ++m_useCount;
    if (loadIndex && !m_indexLoaded) {
        try {
            LoadIndex();
        } catch (...) {
            EndUse();
            throw;
        }
    }
    return 1;
}

void CResourcePack::EndUse() {
    CAutoLock lock(m_lock);
    if (m_useCount <= 0) return;
    if (--m_useCount == 0 && m_open) {
        m_open = false;
        m_reader->Close();
    }
}

bool CResourcePack::FindDocument(LPCWSTR name, CSharedBuffer* out, bool cache) {
    CAutoLock lock(m_lock);
    if (out != nullptr) *out = {};
    if (name == nullptr || *name == 0) return false;
    std::size_t index = 0;
    if (cache) {
        index = FindOrAdd(m_texts, name);
        if (m_texts[index].loaded) {
            if (out != nullptr) *out = m_texts[index].buffer;
            return static_cast<bool>(m_texts[index].buffer);
        }
    }
    CPackAccess use(this, false, true);
    CSharedBuffer content = m_reader->ReadEntry(name);
    if (cache) {
        m_texts[index].buffer = content;
        m_texts[index].loaded = true;
    }
    const bool found = static_cast<bool>(content);
    if (out != nullptr) *out = std::move(content);
    return found;
}

bool CResourcePack::FindBitmap(LPCWSTR name, CSharedSurface* out, bool cache) {
    CAutoLock lock(m_lock);
    if (out != nullptr) *out = {};
    if (name == nullptr || *name == 0) return false;
    std::size_t index = 0;
    if (cache) {
        index = FindOrAdd(m_bitmaps, name);
        if (m_bitmaps[index].loaded) {
            if (out != nullptr) *out = m_bitmaps[index].surface;
            return static_cast<bool>(m_bitmaps[index].surface);
        }
    }
    CPackAccess use(this, false, true);
    CSharedSurface surface = m_reader->LoadBitmap(name);
    if (cache) {
        m_bitmaps[index].surface = surface;
        m_bitmaps[index].loaded = true;
    }
    const bool found = static_cast<bool>(surface);
    if (out != nullptr) *out = std::move(surface);
    return found;
}

bool CResourcePack::FindImage(LPCWSTR imageName, std::u16string* image, std::u16string* mask) {
    CAutoLock lock(m_lock);
    if (imageName == nullptr) return false;
    const std::size_t index = FindByName(m_images, imageName);
    if (index >= m_images.size()) return false;
    if (image != nullptr) *image = m_images[index].image;
    if (mask != nullptr) *mask = m_images[index].mask;
    return true;
}

void CResourcePack::LoadIndex() {
    CSharedBuffer bytes;
    if (FindDocument(u"Index.xml", &bytes, false)) {
        CSharedWideText text = Utf8ToWideBuffer(bytes);
        CXmlDocument document;
        document.Parse(text.Data());
        const CXmlElement item = document.GetRoot().FindDescendant(u"item");
        // Read aside and kept only when the whole index reads: a malformed index leaves
        // the pack without values or images, and is reported again by the next use.
        CPackIndexReader reader;
        CPropertyList values;
        if (item.IsValid()) ParseValueElement(reader, item, values);
        m_values = std::move(values);
        m_images = std::move(reader.images);
    }
    m_indexLoaded = true;
}

CPropertyList CResourcePack::GetValues() {
    CAutoLock lock(m_lock);
    return m_values;
}

LONG CResourcePack::GetUseCount() {
    CAutoLock lock(m_lock);
    return m_useCount;
}

bool CResourcePack::IsOpen() {
    CAutoLock lock(m_lock);
    return m_open;
}

bool CResourcePack::IsIndexLoaded() {
    CAutoLock lock(m_lock);
    return m_indexLoaded;
}

CPackAccess::CPackAccess(CResourcePack* pack, bool loadIndex, bool open) {
    if (pack == nullptr) ThrowOrm(E_ORM_FAIL);
    pack->StartUse(loadIndex, open);
    m_pack.Reset(pack);
}

CPackAccess::~CPackAccess() {
    if (m_pack) m_pack->EndUse();
}

namespace {

CRefPtr<CResourcePack> MakePack(CZipPackReader* reader) {
    if (reader == nullptr) ThrowOrm(E_OUTOFMEMORY);
    CRefPtr<CZipPackReader> held(reader);
    auto* pack = new (std::nothrow) CResourcePack(held);
    if (pack == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CRefPtr<CResourcePack>(pack);
}

}  // namespace

CRefPtr<CResourcePack> OpenResourcePack(LPCWSTR path) {
    if (path == nullptr) ThrowOrm(E_ORM_FAIL);
    return MakePack(new (std::nothrow) CZipPackReader(path));
}

CRefPtr<CResourcePack> OpenResourcePackInMemory(const CSharedBuffer& archive) {
    return MakePack(new (std::nothrow) CZipPackReader(archive));
}

bool GetPackImage(CResourcePack* pack, LPCWSTR imageName, CSharedSurface* color, CSharedSurface* mask, bool cache,
                  DWORD required) {
    if (color != nullptr) *color = {};
    if (mask != nullptr) *mask = {};
    if (pack == nullptr) return false;
    CPackAccess use(pack, false, false);
    std::u16string imageEntry;
    std::u16string maskEntry;
    if (!pack->FindImage(imageName, &imageEntry, &maskEntry)) return false;
    CSharedSurface colorSurface;
    CSharedSurface maskSurface;
    const bool hasColor = pack->FindBitmap(imageEntry.c_str(), &colorSurface, cache);
    const bool hasMask = pack->FindBitmap(maskEntry.c_str(), &maskSurface, cache);
    if ((required & PACK_IMAGE_REQUIRE_COLOR) != 0 && !hasColor) return false;
    if ((required & PACK_IMAGE_REQUIRE_MASK) != 0 && !hasMask) return false;
    if (color != nullptr) *color = std::move(colorSurface);
    if (mask != nullptr) *mask = std::move(maskSurface);
    return true;
}
