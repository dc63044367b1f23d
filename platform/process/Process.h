// Processes: starting a handset program by its handset path, its exit code, and ending a
// process. Process handles are waitable and become signalled when the process ends.
#pragma once

#include "platform/base/Types.h"
#include "platform/sync/Thread.h"

// Ignored, as on the handset; CreateProcessW takes it for its signature.
struct STARTUPINFOW {
    DWORD cb;
};
using LPSTARTUPINFOW = STARTUPINFOW*;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// The calling process, to the process functions; it needs no CloseHandle.
HANDLE GetCurrentProcess();

// Starts the program at the handset path `applicationName` ("\Program Files\X\X.exe",
// mapped under the handset root to the file the run command installed) with `commandLine`
// as its command line (the arguments only, as on the handset). The new process shares the
// handset root. hProcess and hThread are waitable handles that must be closed; the thread
// handle stands for the process's main thread.
BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION processInformation);
// STILL_ACTIVE while the process runs, then its exit code.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
// Ends the process at once with the exit code; on the calling process this does not return.
BOOL TerminateProcess(HANDLE process, UINT exitCode);

namespace platform {

// Runs `hook` (newest first) when this process ends itself through TerminateProcess, which
// leaves at once without the atexit handlers: an area above that keeps shared records of
// this process (the window table) registers here to clear them on the way out.
void AtOwnTermination(void (*hook)());

}  // namespace platform
