// The content stack: pushes in their five modes, pops, closing above the bottom and closing
// flagged overlays, with the events each step sends.
#include "dialer/dialog/ContentStack.h"

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogManagerInterface.h"
#include "dialer/foundation/OrmException.h"

namespace XmlLayouts {

CContentStack::~CContentStack() {
    CAutoLock lock(m_lock);
    std::vector<Entry> entries = std::move(m_entries);
    entries.clear();
    m_current.Reset();
}

CInterfacePtr<CDialogContent> CContentStack::GetTop() {
    CAutoLock lock(m_lock);
    return m_current;
}

void CContentStack::GetActive(CInterfacePtr<CDialogContent>* top, CInterfacePtr<CDialogContent>* beneath) {
    CAutoLock lock(m_lock);
    if (beneath != nullptr) {
        beneath->Reset();
        if (m_entries.size() >= 2 && (m_entries.back().flags & DialogOverlay) != 0)
            *beneath = m_entries[m_entries.size() - 2].content;
    }
    if (top != nullptr) *top = m_current;
}

std::size_t CContentStack::Count() {
    CAutoLock lock(m_lock);
    return m_entries.size();
}

DWORD CContentStack::TopFlags() {
    CAutoLock lock(m_lock);
    return m_entries.empty() ? 0 : m_entries.back().flags;
}

bool CContentStack::Enter() {
    CAutoLock lock(m_lock);
    if (m_busy != 0) return false;
    m_busy = 1;
    return true;
}

void CContentStack::Leave() {
    CAutoLock lock(m_lock);
    m_busy = 0;
}

void CContentStack::Send(CDialogContent* content, UINT code) {
    if (content == nullptr) return;
    CInterfacePtr<CDialogContent> held(content);
    BOOL handled = FALSE;
    content->DispatchEvent(code, &handled, 0, nullptr);
}

void CContentStack::RemoveTop() {
    // The entry goes before its content is released, so the content's destructor sees a
    // consistent stack.
    Entry removed = std::move(m_entries.back());
    m_entries.pop_back();
}

void CContentStack::RestoreCurrent() {
    CAutoLock lock(m_lock);
    m_current = m_entries.empty() ? CInterfacePtr<CDialogContent>() : m_entries.back().content;
}

bool CContentStack::Push(CDialogContent* content, DWORD flags) {
    if (!Enter()) return false;
    bool pushed = false;
    try {
        CAutoLock lock(m_lock);
        Send(content, DIALOG_EVENT_SHOWING);
        m_current.Reset();
        switch (flags & DIALOG_PUSH_MODE_MASK) {
            case DIALOG_PUSH_REPLACE_TOP:
                if (!m_entries.empty()) {
                    Send(m_entries.back().content.Get(), DIALOG_EVENT_REMOVED);
                    RemoveTop();
                }
                break;
            case DIALOG_PUSH_REPLACE_ALL:
                for (std::size_t i = m_entries.size(); i-- > 0;) Send(m_entries[i].content.Get(), DIALOG_EVENT_REMOVED);
                m_entries.clear();
                break;
            case DIALOG_PUSH_COVER:
                if (!m_entries.empty()) Send(m_entries.back().content.Get(), DIALOG_EVENT_COVERED);
                break;
            case DIALOG_PUSH_KEEP_BOTTOM:
                if (m_entries.size() >= 2) {
                    for (std::size_t i = m_entries.size(); i-- > 1;)
                        Send(m_entries[i].content.Get(), DIALOG_EVENT_REMOVED);
                    m_entries.resize(1);
                } else if (m_entries.size() == 1) {
                    Send(m_entries.back().content.Get(), DIALOG_EVENT_COVERED);
                }
                break;
            case DIALOG_PUSH_REPLACE_OVERLAY:
                if (!m_entries.empty()) {
                    if ((m_entries.back().flags & DialogOverlay) != 0) {
                        Send(m_entries.back().content.Get(), DIALOG_EVENT_REMOVED);
                        RemoveTop();
                    } else {
                        Send(m_entries.back().content.Get(), DIALOG_EVENT_OVERLAID);
                    }
                }
                break;
            default:
                break;
        }
        if (content != nullptr) {
            m_entries.push_back(Entry{CInterfacePtr<CDialogContent>(content), flags & 0xFFFF0000u});
            m_current.Reset(content);
            Send(content, DIALOG_EVENT_SHOWN);
        }
        pushed = true;
    } catch (...) {
        // The current content was cleared at the start: without it input would be dead
        // while the stack still holds dialogs.
        RestoreCurrent();
    }
    Leave();
    return pushed;
}

bool CContentStack::PopLocked() {
    if (m_entries.size() < 2) return false;
    if (!m_current) ThrowOrm(E_ORM_FAIL, u"The dialog stack has entries but no current dialog to close.");
    Send(m_entries[m_entries.size() - 2].content.Get(), DIALOG_EVENT_UNCOVERING);
    Send(m_entries.back().content.Get(), DIALOG_EVENT_REMOVED);
    RemoveTop();
    m_second = 0;
    m_current = m_entries.empty() ? CInterfacePtr<CDialogContent>() : m_entries.back().content;
    Send(m_current.Get(), DIALOG_EVENT_UNCOVERED);
    return true;
}

bool CContentStack::Pop() {
    if (!Enter()) return false;
    bool popped = false;
    try {
        CAutoLock lock(m_lock);
        popped = PopLocked();
    } catch (...) {
        RestoreCurrent();
    }
    Leave();
    return popped;
}

void CContentStack::CloseAll(bool all) {
    if (!Enter()) return;
    try {
        CAutoLock lock(m_lock);
        if (!all && m_entries.size() > 1) Send(m_entries.front().content.Get(), DIALOG_EVENT_UNCOVERING);
        const std::size_t keep = all ? 0 : 1;
        while (m_entries.size() > keep) {
            Send(m_entries.back().content.Get(), DIALOG_EVENT_REMOVED);
            RemoveTop();
        }
        m_current = m_entries.empty() ? CInterfacePtr<CDialogContent>() : m_entries.back().content;
        Send(m_current.Get(), DIALOG_EVENT_UNCOVERED);
    } catch (...) {
        // Entries already removed stay removed; the current content must not be one of them.
        RestoreCurrent();
    }
    Leave();
}

bool CContentStack::CloseFlagged() {
    if (!Enter()) return false;
    bool closed = false;
    try {
        CAutoLock lock(m_lock);
        if (m_entries.size() >= 2) {
            std::size_t index = m_entries.size();
            while (index-- > 0 && (m_entries[index].flags & DialogOverlay) != 0) {
            }
            if (index < m_entries.size() && (m_entries[index].flags & DialogClosable) != 0) {
                const std::size_t pops = m_entries.size() - index;
                for (std::size_t i = 0; i < pops; ++i)
                    if (PopLocked()) closed = true;
            }
        }
    } catch (...) {
        RestoreCurrent();
    }
    Leave();
    return closed;
}

}  // namespace XmlLayouts

