// The application object and its class factory.
#include "platform/poom/Application.h"

#include "platform/poom/Folder.h"
#include "platform/poom/ItemObject.h"

namespace platform::poom {

namespace {

class ApplicationFactory final : public com::ComObject<IClassFactory> {
public:
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        auto* application = new Application;
        HRESULT result = application->QueryInterface(iid, out);
        application->Release();
        return result;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

}  // namespace

IClassFactory* NewApplicationFactory() { return new ApplicationFactory; }

HRESULT Application::Session(std::shared_ptr<PimSession>& session) const {
    if (!session_) return E_UNEXPECTED;
    session = session_;
    return S_OK;
}

HRESULT Application::Logon(HWND) {
    if (session_) return S_OK;
    return PimSession::Open(session_);
}

HRESULT Application::Logoff() {
    if (!session_) return E_UNEXPECTED;
    // Items handed out keep the databases open until they are released.
    session_.reset();
    return S_OK;
}

HRESULT Application::get_Version(BSTR* version) {
    if (version == nullptr) return E_POINTER;
    *version = SysAllocString(u"1.0");
    return *version != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Application::GetDefaultFolder(int folder, IFolder** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    if (folder != olFolderCalendar && folder != olFolderContacts && folder != olFolderTasks &&
        folder != olFolderInfrared)
        return E_INVALIDARG;
    std::shared_ptr<PimSession> session;
    if (HRESULT failed = Session(session); FAILED(failed)) return failed;
    *result = new Folder(this, std::move(session), folder);
    return S_OK;
}

HRESULT Application::CreateItem(int itemType, IDispatch** item) {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    std::shared_ptr<PimSession> session;
    if (HRESULT failed = Session(session); FAILED(failed)) return failed;
    return MakeItemObject(session, itemType, nullptr, IID_IDispatch, reinterpret_cast<void**>(item));
}

HRESULT Application::GetItemFromOid(CEOID oid, IDispatch** item) {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    int itemType = ItemTypeOfOid(oid);
    if (DatabaseNameOf(itemType) == nullptr || ItemIdOfOid(oid) == 0) return E_INVALIDARG;
    std::shared_ptr<PimSession> session;
    if (HRESULT failed = Session(session); FAILED(failed)) return failed;
    StoredItem stored;
    if (HRESULT failed = session->FindByItemId(itemType, ItemIdOfOid(oid), stored); FAILED(failed)) return failed;
    return MakeItemObject(session, itemType, &stored, IID_IDispatch, reinterpret_cast<void**>(item));
}

}  // namespace platform::poom
