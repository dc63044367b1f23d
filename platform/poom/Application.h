// The object model's application object, the root that CoCreateInstance makes: logging on
// opens the PIM databases, and folders and items come from it.
#pragma once

#include <memory>

#include "platform/com/ComObject.h"
#include "platform/poom/PimSession.h"
#include "platform/poom/Poom.h"

namespace platform::poom {

class Application final : public com::ComObject<IPOutlookApp> {
public:
    Application() = default;

    HRESULT Logon(HWND window) override;
    HRESULT Logoff() override;
    HRESULT get_Version(BSTR* version) override;
    HRESULT GetDefaultFolder(int folder, IFolder** result) override;
    HRESULT CreateItem(int itemType, IDispatch** item) override;
    HRESULT GetItemFromOid(CEOID oid, IDispatch** item) override;

private:
    // E_UNEXPECTED before Logon, as every call that needs the databases.
    HRESULT Session(std::shared_ptr<PimSession>& session) const;

    std::shared_ptr<PimSession> session_;
};

// The class factory of CLSID_Application.
IClassFactory* NewApplicationFactory();

}  // namespace platform::poom
