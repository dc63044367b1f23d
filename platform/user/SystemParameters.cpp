// The platform type behind SystemParametersInfoW.
#include "platform/user/SystemParameters.h"

#include <cstring>
#include <mutex>

#include "platform/base/Errors.h"

namespace {

std::mutex g_mutex;
std::u16string g_platformType = u"PocketPC";

}  // namespace

namespace platform {

void SetPlatformType(const std::u16string& type) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_platformType = type;
}

std::u16string PlatformType() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_platformType;
}

}  // namespace platform

BOOL SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT) {
    if (uiAction != SPI_GETPLATFORMTYPE || pvParam == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::u16string type = platform::PlatformType();
    const std::size_t bytes = (type.size() + 1) * sizeof(WCHAR);
    if (bytes > uiParam) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(pvParam, type.c_str(), bytes);
    return TRUE;
}
