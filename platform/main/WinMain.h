// The entry of a handset program. The platform owns main(): it prepares the handset
// (root, clock, the program's handset path), turns argv into the handset's one command
// line and calls the program's WinMain.
#pragma once

#include "platform/base/Types.h"
#include "platform/user/WindowTypes.h"

// Defined by each program.
int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
// Defined by each program: where the handset keeps it, e.g. u"\\Program Files\\Quorvane\\Quorvane.exe".
LPCWSTR HandsetProgramPath();
