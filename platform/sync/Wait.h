// Waiting on threads and events: one object or up to MAXIMUM_WAIT_OBJECTS, for any of them
// or all of them, with a time-out in milliseconds (INFINITE for none). Time-outs run on real
// time, also under a manual clock.
#pragma once

#include "platform/base/Types.h"

constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// WAIT_OBJECT_0 when signalled, WAIT_TIMEOUT, or WAIT_FAILED (ERROR_INVALID_HANDLE for a
// handle that is not open or cannot be waited on).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// Wait-any gives WAIT_OBJECT_0 + the lowest index among the signalled objects; wait-all
// gives WAIT_OBJECT_0 once every object is signalled at the same moment, and only then takes
// the auto-reset ones. WAIT_FAILED with ERROR_INVALID_PARAMETER for a count of 0 or above
// MAXIMUM_WAIT_OBJECTS, or for one object named twice in a wait-all.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

namespace platform {

class Waitable;

// The same wait on objects that the caller holds (used by other areas' own waits, such as a
// wait that also ends when a message arrives). Objects of this process, named events of one
// root and any mix of them can be waited on together.
DWORD WaitForObjects(Waitable* const* objects, DWORD count, bool waitAll, DWORD milliseconds);

// How many waits (of any process, for a named event) are blocked on the object right now;
// tests use it to know that a wait has begun. 0 for a handle that cannot be waited on.
DWORD WaitsBlockedOn(HANDLE handle);

}  // namespace platform
