// Pellorin, the PIM helper program that the dialer starts to run one PIM action.
#pragma once

#include "platform/base/Types.h"

// Parses the command line, sets up the object model, runs the action and tears down. The
// exit code: 0 when the action succeeded, 1 when there was none or it failed.
int PellorinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine);
