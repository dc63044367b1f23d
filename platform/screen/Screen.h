// The handset screen as a whole: started once by the program's start-up from the
// environment (HANDSET_SCREEN, HANDSET_DISPLAY, HANDSET_SCRIPT, HANDSET_REFRESH), pumped by
// the message loop, and the native handles of the desktop window for EGL.
#pragma once

#include <cstdint>
#include <string>

#include "platform/screen/ScreenSettings.h"

namespace platform::screen {

// Configures the display and its refresh rate, opens the desktop window in Desktop mode (falling back to
// headless when the mode was only the default and the desktop refuses), loads the script
// (its times count from now on the platform clock) and hooks PumpInput into the message
// loop. The calling thread becomes the screen's thread: only its pumps play input. False
// with a sentence naming what was wrong ("script.txt:3: unknown command 'jump'."); the
// screen is then left stopped.
bool Start(const ScreenSettings& settings, std::string& error);
// Start with the settings of the environment.
bool StartFromEnvironment(std::string& error);
// Closes the desktop window, drops the script and unhooks the message loop.
void Stop();
bool IsStarted();
DisplayMode Mode();

// Called by the message loop on every pump (installed by Start; a loop without the hook may
// call it itself). On the screen's thread: handles the desktop window's events, refreshes
// it and plays the script events that are due. Elsewhere: nothing.
void PumpInput();
// True once every event of the script was played (also when there is no script).
bool ScriptFinished();

// The desktop window's X11 window (an EGLNativeWindowType) and X11 Display* (an
// EGLNativeDisplayType); 0 and null when headless.
std::uintptr_t NativeWindow();
void* NativeDisplay();
// A presenter that draws into the native window itself claims it, so that the screen
// stops drawing its surface there (see DesktopWindow::SetClaimed).
void ClaimNativeWindow(bool claimed);

// Writes the display as the user sees it now (portrait or landscape) as a PNG file.
bool SaveScreenshot(const std::string& path, std::string& error);

}  // namespace platform::screen
