// The profiler library, bound once.
#include "dialer/dialog/ProfilerHooks.h"

namespace {

class CProfilerLibrary {
public:
    CProfilerLibrary() {
        m_hooks.library = LoadLibraryW(u"ormprofiler.dll");
        if (m_hooks.library == nullptr) return;
        m_hooks.beginDuration = reinterpret_cast<ProfilerEntry>(GetProcAddressW(m_hooks.library, u"BeginDuration"));
        m_hooks.endDuration = reinterpret_cast<ProfilerEntry>(GetProcAddressW(m_hooks.library, u"EndDuration"));
        m_hooks.flush = reinterpret_cast<ProfilerEntry>(GetProcAddressW(m_hooks.library, u"Flush"));
    }
    ~CProfilerLibrary() {
        if (m_hooks.library != nullptr) FreeLibrary(m_hooks.library);
    }
    CProfilerLibrary(const CProfilerLibrary&) = delete;
    CProfilerLibrary& operator=(const CProfilerLibrary&) = delete;

    const ProfilerHooks& Hooks() const { return m_hooks; }

private:
    ProfilerHooks m_hooks;
};

}  // namespace

const ProfilerHooks& GetProfilerHooks() {
    static const CProfilerLibrary library;
    return library.Hooks();
}

void ProfileBegin(LPCWSTR scope) {
    if (ProfilerEntry entry = GetProfilerHooks().beginDuration) entry(scope);
}

void ProfileEnd(LPCWSTR scope) {
    if (ProfilerEntry entry = GetProfilerHooks().endDuration) entry(scope);
}
