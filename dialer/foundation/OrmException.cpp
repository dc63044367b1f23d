// Throwing COrmException and building codes from the platform's last error.
#include "dialer/foundation/OrmException.h"

#include "platform/base/Errors.h"

void ThrowOrm(HRESULT code) { throw COrmException{code}; }

HRESULT HResultFromLastError() {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error);
}
