// Throwing COrmException and building codes from the platform's last error.
#include "dialer/foundation/OrmException.h"

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"

void ThrowOrm(HRESULT code) { throw COrmException{code, {}}; }

void ThrowOrm(HRESULT code, std::string message) { throw COrmException{code, std::move(message)}; }

void ThrowOrm(HRESULT code, const std::u16string& message) {
    throw COrmException{code, platform::Utf16ToUtf8(message)};
}

HRESULT HResultFromLastError() {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error);
}
