// Telling a live process from one that has ended or whose id was given to a new process:
// a process is known by its id together with its start time.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

namespace platform::user {

// The start time of this process (clock ticks since boot), read once.
std::uint64_t OwnStartTime();
// True while the process runs (not ended, not a zombie) and started at `startTime`.
bool IsProcessAlive(DWORD processId, std::uint64_t startTime);

}  // namespace platform::user
