// Layout sets read from the layout pack and cached by name.
#include "dialer/layout/LayoutRepository.h"

#include <new>

#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/SharedBuffer.h"
#include "dialer/layout/LayoutReader.h"
#include "dialer/xml/XmlDocument.h"
#include "platform/base/WideString.h"

namespace {

[[noreturn]] void Fail(const std::u16string& where, const char16_t* what) {
    ThrowOrm(E_ORM_FAIL, where + u": " + what);
}

bool HasElement(const CXmlDocument& document) {
    const CXmlElement root = document.GetRoot();
    for (int i = 0; i < root.GetChildCount(); ++i)
        if (root.GetChild(i).GetType() == XmlNodeType::Element) return true;
    return false;
}

}  // namespace

CRefPtr<CLayoutSet> LoadLayoutSet(CResourcePack* pack, const std::u16string& name) {
    const std::u16string file = name + u".xml";
    // Errors name the file within its pack: "qa_layouts/Dialer.xml".
    const std::u16string where = std::u16string(kLayoutPackName) + u"/" + file;
    if (pack == nullptr) Fail(where, u"the layout pack is not installed.");
    CPackAccess use(pack, false, false);
    CSharedBuffer bytes;
    if (!pack->FindDocument(file.c_str(), &bytes, false)) Fail(where, u"the pack has no such layout file.");
    return ParseLayoutSetFile(bytes, where);
}

CRefPtr<CLayoutSet> ParseLayoutSetFile(const CSharedBuffer& bytes, const std::u16string& where) {
    if (!bytes) Fail(where, u"the layout file is empty.");
    CSharedWideText text = Utf8ToWideBuffer(bytes);
    if (!text || text.Count() <= 1 || text.Data()[0] == 0) Fail(where, u"the layout file is empty.");
    CXmlDocument document;
    if (document.Parse(text.Data()) == nullptr || !HasElement(document))
        Fail(where, u"the layout file holds no element.");
    return ReadLayoutSet(document, where);
}

CLayoutSet* CLayoutRepository::GetDocument(LPCWSTR name) {
    if (name == nullptr) ThrowOrm(E_INVALIDARG);
    CAutoLock lock(m_lock);
    for (const CachedSet& cached : m_sets)
        if (_wcsicmp(cached.name.c_str(), name) == 0) return CRefPtr<CLayoutSet>(cached.set).Detach();
    CRefPtr<CResourcePack> pack = CRefPtr<CResourcePack>::Adopt(GetResourcePack(kLayoutPackName));
    CRefPtr<CLayoutSet> set = LoadLayoutSet(pack.Get(), name);
    try {
        m_sets.push_back(CachedSet{name, set});
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
    return set.Detach();
}
