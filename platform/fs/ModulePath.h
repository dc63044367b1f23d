// GetModuleFileNameW: the running program's handset path ("\Program Files\Quorvane\Quorvane.exe"),
// wherever its Linux binary lies.
#pragma once

#include "platform/base/Types.h"

// module null (or platform::ProgramModule(), the program's instance) is the program; a
// module loaded from a file answers that file's handset path. The answer is cut to `size`
// characters (terminated) with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

namespace platform {
// Set once by the program's start-up before WinMain.
void SetProgramHandsetPath(LPCWSTR handsetPath);
}  // namespace platform
