// The component model's start-up per thread and the table of registered class factories.
#include "platform/com/Com.h"

#include <mutex>
#include <vector>

namespace platform::com {

namespace {

struct ThreadState {
    ULONG starts = 0;
    DWORD mode = 0;
};

thread_local ThreadState threadState;

struct Registration {
    CLSID classId;
    IClassFactory* factory;
};

struct FactoryTable {
    std::mutex mutex;
    std::vector<Registration> registrations;
};

FactoryTable& Factories() {
    static FactoryTable* table = new FactoryTable;
    return *table;
}

// The factory of a class with a reference added, or null.
IClassFactory* FindFactory(REFCLSID classId) {
    FactoryTable& table = Factories();
    std::lock_guard<std::mutex> guard(table.mutex);
    for (const Registration& registration : table.registrations) {
        if (registration.classId == classId) {
            registration.factory->AddRef();
            return registration.factory;
        }
    }
    return nullptr;
}

}  // namespace

void RegisterClassFactory(REFCLSID classId, IClassFactory* factory) {
    if (factory == nullptr) {
        UnregisterClassFactory(classId);
        return;
    }
    factory->AddRef();
    IClassFactory* replaced = nullptr;
    {
        FactoryTable& table = Factories();
        std::lock_guard<std::mutex> guard(table.mutex);
        bool found = false;
        for (Registration& registration : table.registrations) {
            if (registration.classId == classId) {
                replaced = registration.factory;
                registration.factory = factory;
                found = true;
                break;
            }
        }
        if (!found) table.registrations.push_back({classId, factory});
    }
    if (replaced != nullptr) replaced->Release();
}

bool UnregisterClassFactory(REFCLSID classId) {
    IClassFactory* removed = nullptr;
    {
        FactoryTable& table = Factories();
        std::lock_guard<std::mutex> guard(table.mutex);
        for (auto entry = table.registrations.begin(); entry != table.registrations.end(); ++entry) {
            if (entry->classId == classId) {
                removed = entry->factory;
                table.registrations.erase(entry);
                break;
            }
        }
    }
    if (removed == nullptr) return false;
    removed->Release();
    return true;
}

}  // namespace platform::com

using namespace platform::com;

HRESULT CoInitializeEx(LPVOID reserved, DWORD flags) {
    if (reserved != nullptr || (flags & ~COINIT_APARTMENTTHREADED) != 0) return E_INVALIDARG;
    if (threadState.starts > 0) {
        if (threadState.mode != flags) return RPC_E_CHANGED_MODE;
        ++threadState.starts;
        return S_FALSE;
    }
    threadState.starts = 1;
    threadState.mode = flags;
    return S_OK;
}

void CoUninitialize() {
    if (threadState.starts > 0) --threadState.starts;
}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, LPVOID* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (threadState.starts == 0) return CO_E_NOTINITIALIZED;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = FindFactory(classId);
    if (factory == nullptr) return REGDB_E_CLASSNOTREG;
    HRESULT result = factory->CreateInstance(outer, iid, out);
    factory->Release();
    if (FAILED(result)) *out = nullptr;
    return result;
}
