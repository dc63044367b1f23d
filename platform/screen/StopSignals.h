// SIGTERM and SIGINT (Ctrl+C) as a close request: the program's window in front gets
// WM_CLOSE from the next message pump, so the program ends as when its user closes it,
// shutdown included. A second signal, or one that comes while the process has no window,
// takes the signal's default action (the process ends at once).
#pragma once

namespace platform::screen {

// Installs the handlers (before the screen starts, so that SDL keeps them) and the message
// pump hook that serves them. Once per process; later calls do nothing.
void InstallStopSignals();

}  // namespace platform::screen
