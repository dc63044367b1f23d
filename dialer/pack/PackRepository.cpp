// Packs by name, cached.
#include "dialer/pack/PackRepository.h"

#include <new>

#include "dialer/foundation/OrmException.h"
#include "dialer/pack/InstallDir.h"
#include "platform/base/WideString.h"

CResourcePack* CPackRepository::GetPack(LPCWSTR name) {
    if (name == nullptr) return nullptr;
    CAutoLock lock(m_lock);
    for (const CachedPack& cached : m_packs)
        if (_wcsicmp(cached.name.c_str(), name) == 0) return CRefPtr<CResourcePack>(cached.pack).Detach();

    const std::u16string fileName = std::u16string(name) + u".dat";
    CRefPtr<CResourcePack> pack = OpenResourcePack(MakeInstallPath(fileName.c_str()).c_str());
    try {
        m_packs.push_back(CachedPack{name, pack});
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
    return pack.Detach();
}

void CPackRepository::Clear() {
    std::vector<CachedPack> released;
    {
        CAutoLock lock(m_lock);
        released.swap(m_packs);
    }
}
