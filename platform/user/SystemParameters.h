// SystemParametersInfoW: the system-wide settings that programs ask for. The handset
// answers its platform type, which a test can change to stand for another device class.
#pragma once

#include <string>

#include "platform/base/Types.h"

constexpr UINT SPI_GETPLATFORMTYPE = 257;

// SPI_GETPLATFORMTYPE copies the platform type ("PocketPC" on a touch-screen handset) with
// its terminator into pvParam, which holds uiParam bytes; ERROR_INSUFFICIENT_BUFFER when it
// does not fit. Other actions are not offered: FALSE with ERROR_INVALID_PARAMETER.
BOOL SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni);

namespace platform {

// The platform type that SPI_GETPLATFORMTYPE answers, for this process ("PocketPC" until set).
void SetPlatformType(const std::u16string& type);
std::u16string PlatformType();

}  // namespace platform
