// The per-thread last-error value behind GetLastError and SetLastError.
#include "platform/base/Errors.h"

namespace {
// Each thread has its own value, as on the handset: an error set by a worker thread never
// shows up in the caller of another thread.
thread_local DWORD lastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) { lastError = error; }
