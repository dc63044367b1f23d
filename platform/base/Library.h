// LoadLibrary and GetProcAddress: by name and by ordinal. Libraries are the platform's
// built-in stand-ins registered by name (phone.dll, pimstore.dll, ...) or real shared
// objects found in the handset's \Windows folder (or by a handset path) and opened with
// dlopen. A library that is absent gives null, as on a handset without it.
#pragma once

#include <initializer_list>

#include "platform/base/Types.h"

using FARPROC = void (*)();

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

// A real library may export `extern "C" BOOL DllMain(HINSTANCE, DWORD reason, LPVOID)`: it is
// called with DLL_PROCESS_ATTACH when the library is first loaded (FALSE fails the load with
// ERROR_DLL_INIT_FAILED) and with DLL_PROCESS_DETACH when the last reference is freed. Thread
// attach and detach calls are never made.
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

// A name without a folder ("x.dll") is a stand-in or a file in the handset's \Windows folder;
// a name with a folder is a stand-in (by its file name) or that handset path. A name without
// an extension gets ".dll". Loading a loaded library again adds a reference to it.
HMODULE LoadLibraryW(LPCWSTR fileName);
// LOAD_LIBRARY_AS_DATAFILE opens no code: the file must exist, and its Linux path is kept
// for ModuleFilePath; GetProcAddress finds nothing in it.
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE reserved, DWORD flags);
// lpProcName is a name, or an ordinal made with MAKEINTRESOURCEA / (LPCSTR)ordinal. Names
// are matched with case; a real library has no ordinals and only its own exports are found.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
FARPROC GetProcAddressW(HMODULE module, LPCWSTR procName);
BOOL FreeLibrary(HMODULE module);
// Null is the program; otherwise a loaded library (not a data file) by its file name. No
// reference is added.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// Thread attach and detach calls are never made, so there is nothing to turn off.
BOOL DisableThreadLibraryCalls(HMODULE module);

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

// The program's own module: what GetModuleHandleW(null) answers and what the program's
// WinMain gets as its instance.
HMODULE ProgramModule();

}  // namespace platform
