// Entry of the handset's phone application. The extension host is not built yet: it
// starts and ends cleanly.
#include "platform/main/WinMain.h"

LPCWSTR HandsetProgramPath() { return u"\\Windows\\cprog.exe"; }

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
