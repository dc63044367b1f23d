// One run of Pellorin: parse, set up, act, tear down.
#include "pimhelper/Pellorin.h"

#include "pimhelper/CommandLine.h"
#include "pimhelper/PellorinActions.h"
#include "pimhelper/PellorinWnd.h"

int PellorinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine) {
    DWORD number = 0;
    int action = ParseCommandLine(commandLine, &number);
    if (action == kActionNone) return 1;
    CPellorinWnd window;
    window.SetUp();
    bool succeeded = window.GetApplication() != nullptr && RunAction(action, number, commandLine, window);
    window.TearDown();
    return succeeded ? 0 : 1;
}
