// The PIM actions of Pellorin, one per run, through the object model.
#pragma once

#include "platform/poom/Poom.h"

class CPellorinWnd;

// Runs the action with its number; the hidden window is the window given to the object model.
// True when the action succeeded. A missing interface or a failing call fails quietly.
bool RunAction(int action, DWORD number, LPCWSTR commandLine, CPellorinWnd& window);

// The start of a new appointment: the "-date" day at 12:00, or without a valid date option
// the next full hour from now.
SYSTEMTIME AppointmentStart(LPCWSTR commandLine);
