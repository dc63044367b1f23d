// The dialer's install folder, read once from the registry ("InstallDir" under
// "\SOFTWARE\Halvorn\Dialer"), and the paths of its installed files.
#pragma once

#include <string>

#include "platform/base/Types.h"

// The folder in lower case and ending with a backslash; empty (and asked again next time)
// while the registry has no value.
std::u16string GetInstallDir();
// The install folder followed directly by fileName.
std::u16string MakeInstallPath(LPCWSTR fileName);
