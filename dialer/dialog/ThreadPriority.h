// Raises the calling thread to THREAD_PRIORITY_ABOVE_NORMAL while a motion or an animation
// paints its frames, so that other work does not starve them, and restores the level it found
// on every way out.
#pragma once

#include "platform/sync/Thread.h"

class CRaisedThreadPriority {
public:
    CRaisedThreadPriority() : m_saved(GetThreadPriority(GetCurrentThread())) {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    }
    ~CRaisedThreadPriority() {
        if (m_saved != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(GetCurrentThread(), m_saved);
    }
    CRaisedThreadPriority(const CRaisedThreadPriority&) = delete;
    CRaisedThreadPriority& operator=(const CRaisedThreadPriority&) = delete;

private:
    int m_saved;
};
