// Entry of the game program. The engine's start-up is not built yet: the program starts
// and ends cleanly.
#include "platform/main/WinMain.h"

LPCWSTR HandsetProgramPath() { return u"\\Program Files\\Quorvane\\Quorvane.exe"; }

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
