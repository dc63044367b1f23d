// GetModuleFileNameW: the program's handset path as its start-up set it, and the handset
// path of a module loaded from a file.
#include "platform/fs/ModulePath.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/Library.h"
#include "platform/base/WideString.h"

namespace {

std::mutex g_programLock;
std::u16string g_programPath;

// Without a path set at start-up the program is taken to live in \Windows, as the
// handset's own programs do, under the name of its Linux binary.
std::u16string DefaultProgramPath() {
    std::string executable(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", executable.data(), executable.size() - 1);
    std::string name = "program";
    if (length > 0) {
        executable.resize(static_cast<std::size_t>(length));
        name = executable.substr(executable.find_last_of('/') + 1);
    }
    std::u16string wide = platform::Utf8ToUtf16(name);
    bool hasExe = wide.size() >= 4 && _wcsicmp(wide.c_str() + wide.size() - 4, u".exe") == 0;
    return u"\\Windows\\" + wide + (hasExe ? u"" : u".exe");
}

std::optional<std::u16string> ModuleHandsetPath(HMODULE module) {
    std::lock_guard<std::mutex> guard(g_programLock);
    if (!module || module == platform::ProgramModule()) {
        if (g_programPath.empty()) return DefaultProgramPath();
        return g_programPath;
    }
    const char* linuxPath = platform::ModuleFilePath(module);
    if (!linuxPath || !linuxPath[0]) return std::nullopt;
    return platform::HandsetPathFromLinux(linuxPath);
}

}  // namespace

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (!fileName && size > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::optional<std::u16string> path = ModuleHandsetPath(module);
    if (!path) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path->size() >= size) {
        std::copy_n(path->begin(), size - 1, fileName);
        fileName[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(path->begin(), path->end(), fileName);
    fileName[path->size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path->size());
}

namespace platform {

void SetProgramHandsetPath(LPCWSTR handsetPath) {
    // Kept in the normal form that the handset's paths have, so "Program Files/x/y.exe"
    // reads back as "\Program Files\x\y.exe".
    MappedPath mapped = handsetPath ? MapHandsetPath(handsetPath) : MappedPath{};
    if (handsetPath && mapped.error != PathError::None)
        std::fprintf(stderr, "The program's handset path \"%s\" is not a valid handset path; \\Windows is used.\n",
                     Utf16ToUtf8(handsetPath).c_str());
    std::lock_guard<std::mutex> guard(g_programLock);
    g_programPath = handsetPath && mapped.error == PathError::None ? mapped.handset : std::u16string();
}

}  // namespace platform
