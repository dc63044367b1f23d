// Throwing COrmException and building codes from the platform's last error.
#include "dialer/foundation/OrmException.h"

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"

void ThrowOrm(HRESULT code) { throw COrmException{code, {}}; }

void ThrowOrm(HRESULT code, std::string message) { throw COrmException{code, std::move(message)}; }

void ThrowOrm(HRESULT code, const std::u16string& message) {
    const int length = static_cast<int>(message.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, message.c_str(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, message.c_str(), length, text.data(), bytes, nullptr, nullptr);
    throw COrmException{code, std::move(text)};
}

HRESULT HResultFromLastError() {
    const DWORD error = GetLastError();
    return HRESULT_FROM_WIN32(error);
}
