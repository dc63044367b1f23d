// The keyboard hook functions of the system library, bound at start-up. The program binds
// them but installs no hook; the binding is kept so that one can be.
#pragma once

// Loads "coredll.dll" and binds "SetWindowsHookExW", "CallNextHookEx" and
// "UnhookWindowsHookEx"; when any is missing the library is unloaded again. 1 / 0.
int InstallKeyboardHook();
// Unloads the library (no hook is ever held).
void RemoveKeyboardHook();
