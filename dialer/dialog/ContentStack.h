// CContentStack: the dialog manager's stack of contents with their flags, its current
// content, and the guard that refuses a stack change while another one is under way (an
// event handler of one change asking for another). Events go to contents while the stack's
// lock is held; the lock is re-entrant, so handlers may read the stack.
#pragma once

#include <vector>

#include "dialer/dialog/DialogContent.h"
#include "dialer/foundation/CriticalSection.h"

namespace XmlLayouts {

class CContentStack {
public:
    struct Entry {
        CInterfacePtr<CDialogContent> content;
        DWORD flags = 0;
    };

    CContentStack() = default;
    CContentStack(const CContentStack&) = delete;
    CContentStack& operator=(const CContentStack&) = delete;
    ~CContentStack();

    // The current content with a reference (null when none).
    CInterfacePtr<CDialogContent> GetTop();
    // The current content, and the content beneath it when the top entry is an overlay
    // (two entries at least).
    void GetActive(CInterfacePtr<CDialogContent>* top, CInterfacePtr<CDialogContent>* beneath);
    std::size_t Count();
    // The top entry's flags (0 when empty).
    DWORD TopFlags();

    // Push in the mode of flags' low byte. False when refused (another change is under way)
    // or when an event handler threw; the current content is then the top entry's.
    bool Push(CDialogContent* content, DWORD flags);
    // Pops the top entry, never the bottom one. False when refused or nothing was popped.
    bool Pop();
    // Removes every entry above the bottom one, or every entry. Nothing while busy.
    void CloseAll(bool all);
    // Closes the first non-overlay entry from the top, with all above it, when it is
    // closable. True when something closed.
    bool CloseFlagged();

private:
    bool Enter();
    void Leave();
    void Send(CDialogContent* content, UINT code);
    void RemoveTop();
    // After an exception: the top entry's content (or none) is current again.
    void RestoreCurrent();
    bool PopLocked();

    CInterfacePtr<CDialogContent> m_current;
    DWORD m_second = 0;
    std::vector<Entry> m_entries;
    LONG m_busy = 0;
    CCriticalSection m_lock;
};

}  // namespace XmlLayouts
