// The optional measuring library "ormprofiler.dll": when the handset has it, the painting
// code opens and closes a named scope around each measured stretch; without it (or without
// one of its entries) every hook does nothing.
#pragma once

#include "platform/base/Library.h"
#include "platform/base/Types.h"

using ProfilerEntry = void (*)(LPCWSTR scope);

struct ProfilerHooks {
    HMODULE library = nullptr;
    ProfilerEntry beginDuration = nullptr;
    ProfilerEntry endDuration = nullptr;
    ProfilerEntry flush = nullptr;
};

// Loads the library and its three entries on the first call; the answer stays for the life of
// the process (a failed load is not tried again) and the library is freed at exit.
const ProfilerHooks& GetProfilerHooks();
void ProfileBegin(LPCWSTR scope);
void ProfileEnd(LPCWSTR scope);

// Opens a scope and closes it on every way out of the block, exceptions included.
class CProfileScope {
public:
    explicit CProfileScope(LPCWSTR scope) : m_scope(scope) { ProfileBegin(scope); }
    ~CProfileScope() { ProfileEnd(m_scope); }
    CProfileScope(const CProfileScope&) = delete;
    CProfileScope& operator=(const CProfileScope&) = delete;

private:
    LPCWSTR m_scope;
};
