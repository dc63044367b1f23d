// CLayoutRepository: the process-wide service that finds, parses and caches layout sets.
// The set "<name>" is the entry "<name>.xml" of the resource pack "qa_layouts"; it is read
// once, whatever the case in which its name is asked, and shared from then on.
#pragma once

#include <string>
#include <vector>

#include "dialer/foundation/CriticalSection.h"
#include "dialer/foundation/Services.h"
#include "dialer/layout/LayoutSet.h"
#include "dialer/pack/ResourcePack.h"

// The pack that holds the layout sets.
constexpr char16_t kLayoutPackName[] = u"qa_layouts";

class CLayoutRepository : public CLayoutRepositoryService {
public:
    // The set with one reference for the caller. Throws E_ORM_FAIL (with a sentence naming
    // the pack and the file) when there is no pack or no such entry, the text is empty or
    // holds no element, or the file is malformed; nothing is cached then. A null name is
    // E_INVALIDARG.
    CLayoutSet* GetDocument(LPCWSTR name) override;

private:
    struct CachedSet {
        std::u16string name;
        CRefPtr<CLayoutSet> set;
    };

    CCriticalSection m_lock;
    std::vector<CachedSet> m_sets;
};

// Reads the layout set "<name>.xml" from pack (no caching), with the file named in errors.
CRefPtr<CLayoutSet> LoadLayoutSet(CResourcePack* pack, const std::u16string& name);
// The set in a layout file's UTF-8 bytes; `where` names the file in errors.
CRefPtr<CLayoutSet> ParseLayoutSetFile(const CSharedBuffer& bytes, const std::u16string& where);
