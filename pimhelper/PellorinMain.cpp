// Entry of the PIM helper program: the handset's object model is made reachable, then the
// program's one run.
#include "dialer/foundation/OrmException.h"
#include "pimhelper/Pellorin.h"
#include "platform/main/WinMain.h"
#include "platform/poom/Poom.h"

LPCWSTR HandsetProgramPath() { return u"\\Program Files\\Calvane\\Pellorin.exe"; }

int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int) {
    platform::poom::RegisterPoom();
    try {
        return PellorinMain(instance, previous, commandLine);
    } catch (const COrmException&) {
        // The program's own failure (a window that vanished): the action did not complete.
        return 1;
    }
}
