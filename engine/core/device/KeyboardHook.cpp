// Binding of the system's keyboard hook functions.
#include "engine/core/device/KeyboardHook.h"

#include "platform/base/Library.h"

namespace {

HMODULE library = nullptr;
FARPROC setHook = nullptr;
FARPROC callNextHook = nullptr;
FARPROC unhook = nullptr;

void Forget() {
    setHook = nullptr;
    callNextHook = nullptr;
    unhook = nullptr;
}

}  // namespace

int InstallKeyboardHook() {
    if (library != nullptr) return 1;
    library = LoadLibraryW(u"coredll.dll");
    if (library == nullptr) return 0;
    setHook = GetProcAddress(library, "SetWindowsHookExW");
    callNextHook = GetProcAddress(library, "CallNextHookEx");
    unhook = GetProcAddress(library, "UnhookWindowsHookEx");
    if (setHook == nullptr || callNextHook == nullptr || unhook == nullptr) {
        FreeLibrary(library);
        library = nullptr;
        Forget();
        return 0;
    }
    return 1;
}

// The program never installs a hook, so there is none to remove before unloading.
void RemoveKeyboardHook() {
    if (library != nullptr) FreeLibrary(library);
    library = nullptr;
    Forget();
}
