// LoadLibrary and GetProcAddress: by name and by ordinal. Libraries are the platform's
// built-in stand-ins registered by name (phone.dll, pimstore.dll, ...) or real shared
// objects found in the handset's \Windows folder (or by a handset path) and opened with
// dlopen. A library that is absent gives null, as on a handset without it.
#pragma once

#include <initializer_list>

#include "platform/base/Types.h"

using FARPROC = void (*)();

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

HMODULE LoadLibraryW(LPCWSTR fileName);
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE reserved, DWORD flags);
// lpProcName is a name, or an ordinal made with MAKEINTRESOURCEA / (LPCSTR)ordinal.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName);
BOOL FreeLibrary(HMODULE module);
HMODULE GetModuleHandleW(LPCWSTR moduleName);

namespace platform {

struct StandInExport {
    const char* name;  // may be null for an export by ordinal only
    WORD ordinal;      // 0 when the export has no ordinal
    FARPROC function;
};

// Registers a built-in stand-in library under its file name ("pimstore.dll"); look-up
// ignores case and any folder in the name. Registering a name again replaces the table.
void RegisterStandInLibrary(LPCWSTR fileName, std::initializer_list<StandInExport> exports);
void UnregisterStandInLibrary(LPCWSTR fileName);

// The Linux path behind a module loaded from a file (data files loaded with
// LOAD_LIBRARY_AS_DATAFILE included); empty for stand-ins.
const char* ModuleFilePath(HMODULE module);

}  // namespace platform
