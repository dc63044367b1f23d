// CPackRepository: the process-wide service that hands out resource packs by name. A pack
// "<name>" is the file "<name>.dat" in the install folder; it is opened once and kept, so
// that every user of a name shares one pack.
#pragma once

#include <string>
#include <vector>

#include "dialer/foundation/CriticalSection.h"
#include "dialer/foundation/Services.h"
#include "dialer/pack/ResourcePack.h"

class CPackRepository : public CPackRepositoryService {
public:
    // The pack of that name (compared without case) with one reference for the caller;
    // null for a null name. A pack whose file is missing is handed out too: its first use
    // that opens it throws. Throws E_OUTOFMEMORY.
    CResourcePack* GetPack(LPCWSTR name) override;
    // Forgets every pack; users keep theirs.
    void Clear();

private:
    struct CachedPack {
        std::u16string name;
        CRefPtr<CResourcePack> pack;
    };

    CCriticalSection m_lock;
    std::vector<CachedPack> m_packs;
};
