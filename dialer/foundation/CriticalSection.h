// The dialer's lock: a re-entrant critical section, and CAutoLock, which holds one for the
// length of a scope.
#pragma once

#include <mutex>

class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }

private:
    // Re-entrant: a target that calls back into its own proxy on the same thread must
    // not block.
    std::recursive_mutex m_mutex;
};

class CAutoLock {
public:
    explicit CAutoLock(CCriticalSection& section) : m_section(&section) { m_section->Enter(); }
    ~CAutoLock() { m_section->Leave(); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCriticalSection* m_section;
};
