// Areas of committed virtual memory for the engine's heaps and link pool: reserved and
// committed once at start-up, so that nothing asks the system for memory while the game runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

// The system's allocation granularity (asked once).
DWORD AllocationGranularity();

// Reserves `size` bytes rounded up to the granularity (at least one granule) and commits
// them read-write; 0 for size 0 or when the system refuses (nothing stays reserved then).
void* ReserveAndCommit(std::size_t size);

// Commits [base, base + total) read-write in pieces of `chunk` bytes, halving the piece on
// failure; 1 when everything is committed, 0 once the piece would drop below the granularity.
int CommitRange(void* base, std::size_t total, std::size_t chunk);

// Decommits and releases an area from ReserveAndCommit; null is ignored.
void ReleaseArea(void* base);
