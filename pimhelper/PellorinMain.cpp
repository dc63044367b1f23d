// Entry of the PIM helper program. Its actions are not built yet: it starts and ends
// cleanly.
#include "platform/main/WinMain.h"

LPCWSTR HandsetProgramPath() { return u"\\Program Files\\Calvane\\Pellorin.exe"; }

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
