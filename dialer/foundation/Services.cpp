// The four service globals. They are defined in one place so that unload releases them in
// the reverse order of their definition.
#include "dialer/foundation/Services.h"

#include <mutex>

namespace {

template <class T>
class CServiceGlobal {
public:
    ~CServiceGlobal() { Set(nullptr); }

    void Set(T* object) {
        if (object != nullptr) object->AddRef();
        T* old = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            old = m_object;
            m_object = object;
        }
        ReleaseRef(&old);
    }
    CRefPtr<T> Get() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return CRefPtr<T>(m_object);
    }

private:
    std::mutex m_mutex;
    T* m_object = nullptr;
};

CServiceGlobal<CIconLoadService> g_iconLoadService;
CServiceGlobal<CLayoutRepositoryService> g_layoutRepository;
CServiceGlobal<CObjectFactoryService> g_objectFactory;
CServiceGlobal<CPackRepositoryService> g_packRepository;

template <class T>
T* ObjectOf(T* const* holder) {
    return holder == nullptr ? nullptr : *holder;
}

}  // namespace

void SetIconLoadService(CIconLoadService* const* holder) { g_iconLoadService.Set(ObjectOf(holder)); }
void SetLayoutRepository(CLayoutRepositoryService* const* holder) { g_layoutRepository.Set(ObjectOf(holder)); }
void SetObjectFactory(CObjectFactoryService* const* holder) { g_objectFactory.Set(ObjectOf(holder)); }
void SetPackRepository(CPackRepositoryService* const* holder) { g_packRepository.Set(ObjectOf(holder)); }

CRefPtr<CIconLoadService> GetIconLoadService() { return g_iconLoadService.Get(); }

CLayoutSet* GetLayoutDocument(LPCWSTR name) {
    CRefPtr<CLayoutRepositoryService> service = g_layoutRepository.Get();
    return service ? service->GetDocument(name) : nullptr;
}

IUnknown* CreateLayoutObject(LPCWSTR className) {
    CRefPtr<CObjectFactoryService> service = g_objectFactory.Get();
    return service ? service->CreateObject(className) : nullptr;
}

CResourcePack* GetResourcePack(LPCWSTR name) {
    CRefPtr<CPackRepositoryService> service = g_packRepository.Get();
    return service ? service->GetPack(name) : nullptr;
}
