// The dialog manager: construction, its content stack operations, window facts, layout and
// the active content's layers.
#include "dialer/dialog/DialogManager.h"

#include <new>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/foundation/OrmException.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/Library.h"
#include "platform/base/WideString.h"
#include "platform/user/Window.h"

namespace XmlLayouts {

namespace {

// The shell library's entry that shows a window's title in the navigation bar.
using SetNavigationTitle = BOOL (*)(HWND window, LPCWSTR text);
constexpr WORD kShellTitleOrdinal = 88;

void ShowTitleInShell(HWND window, LPCWSTR text) {
    HMODULE shell = LoadLibraryW(u"aygshell.dll");
    if (shell == nullptr) return;
    if (auto entry = reinterpret_cast<SetNavigationTitle>(GetProcAddress(shell, MAKEINTRESOURCEA(kShellTitleOrdinal))))
        entry(window, text);
    FreeLibrary(shell);
}

}  // namespace

CDialogManager::CDialogManager() {
    CacheScreenDpi();
    if (!CreateLockedProxy(&m_site, static_cast<IDialogManager*>(this))) ThrowOrm(E_OUTOFMEMORY);
}

CDialogManager::~CDialogManager() {
    if (m_window != nullptr && ::GetCapture() == m_window) ReleaseCapture();
    m_window = nullptr;
    m_underlay.Reset();
    m_backBuffer.Reset();
    // The stack's contents go with the stack member; the proxy dies first so that nothing
    // they do on the way reaches a manager being destroyed.
    CWeakLink::Detach(&m_site);
}

void CreateDialogManager(CDialogManager** out) {
    if (out == nullptr) return;
    *out = nullptr;
    try {
        auto* manager = new (std::nothrow) CDialogManager();
        if (manager == nullptr) return;
        manager->AddRef();
        *out = manager;
    } catch (const COrmException&) {
    }
}

HRESULT CDialogManager::GetSite(IDialogManager** out) {
    if (out == nullptr) return E_INVALIDARG;
    if (!m_site) return E_FAIL;
    m_site->AddRef();
    *out = m_site.Get();
    return S_OK;
}

void CDialogManager::SetWindow(HWND window) {
    if (m_window != nullptr && m_window != window && ::GetCapture() == m_window) ReleaseCapture();
    m_window = window;
}

void CDialogManager::SetSize(LONG width, LONG height) {
    m_width = width;
    m_height = height;
}

void SetDialogSize(CDialogManager* manager, SIZE size, bool relayout) {
    if (manager == nullptr || (size.cx == manager->Width() && size.cy == manager->Height())) return;
    manager->SetSize(size.cx, size.cy);
    if (relayout) manager->RelayoutActive();
}

HRESULT CDialogManager::OpenDialog(LPCWSTR name, DWORD flags, IUnknown* parameter) {
    CInterfacePtr<IDialogContent> content;
    const HRESULT loaded = LoadDialog(name, parameter, content.Receive());
    if (FAILED(loaded)) return loaded;
    return ShowDialog(content.Get(), flags);
}

HRESULT CDialogManager::LoadDialog(LPCWSTR name, IUnknown* parameter, IDialogContent** out) {
    if (name == nullptr || out == nullptr || !m_site || !m_site->IsAttached()) return E_INVALIDARG;
    try {
        CInterfacePtr<CDialogContent> content = CDialogContent::Load(name, m_site.Get(), parameter);
        if (!content) return E_FAIL;
        *out = content.Detach();
        return S_OK;
    } catch (const COrmException&) {
        return E_FAIL;
    }
}

HRESULT CDialogManager::ShowDialog(IUnknown* dialog, DWORD flags) {
    CInterfacePtr<CDialogContent> content = GetDialogContent(dialog);
    if (!content) return E_FAIL;
    if (!m_stack.Push(content.Get(), flags)) return E_FAIL;
    RelayoutActive();
    SendToTop(DIALOG_EVENT_LAID_OUT);
    return S_OK;
}

HRESULT CDialogManager::CloseTopDialog() {
    if (!m_stack.Pop()) return E_FAIL;
    RelayoutActive();
    SendToTop(DIALOG_EVENT_CLOSED);
    return S_OK;
}

HRESULT CDialogManager::CloseDialogs(BOOL all) {
    m_stack.CloseAll(all != FALSE);
    RelayoutActive();
    SendToTop(DIALOG_EVENT_CLOSED);
    return S_OK;
}

HRESULT CDialogManager::CloseFlaggedOverlays() {
    if (m_stack.CloseFlagged()) {
        RelayoutActive();
        SendToTop(DIALOG_EVENT_CLOSED);
    }
    return S_OK;
}

void CDialogManager::SendToTop(UINT code) {
    CInterfacePtr<CDialogContent> top = m_stack.GetTop();
    if (!top) return;
    try {
        BOOL handled = FALSE;
        top->DispatchEvent(code, &handled, 0, nullptr);
    } catch (const COrmException&) {
        // A handler's failure to follow a change does not undo the change.
    }
}

HRESULT CDialogManager::GetContentObject(IDialogContentBase** out) {
    if (out == nullptr) return E_INVALIDARG;
    CInterfacePtr<CDialogContent> top = m_stack.GetTop();
    if (!top) return E_FAIL;
    *out = top->Proxy();
    (*out)->AddRef();
    return S_OK;
}

HRESULT CDialogManager::GetWindow(HWND* out) {
    if (out != nullptr) *out = m_window;
    return S_OK;
}

HRESULT CDialogManager::GetSize(SIZE* out) {
    if (out == nullptr) return E_FAIL;
    *out = SIZE{m_width, m_height};
    return S_OK;
}

HRESULT CDialogManager::LayOut(CDialogContent* content, LONG mode) {
    if (content == nullptr) return S_OK;
    try {
        content->Layout(m_width, m_height, mode);
    } catch (const COrmException& error) {
        return FAILED(error.code) ? error.code : E_FAIL;
    }
    return S_OK;
}

HRESULT CDialogManager::RelayoutActive() {
    CInterfacePtr<CDialogContent> top;
    CInterfacePtr<CDialogContent> beneath;
    m_stack.GetActive(&top, &beneath);
    HRESULT result = LayOut(beneath.Get(), LAYOUT_MODE_NORMAL);
    if (FAILED(result)) return result;
    result = LayOut(top.Get(), LAYOUT_MODE_NORMAL);
    if (FAILED(result)) return result;
    Invalidate(FALSE);
    return S_OK;
}

HRESULT CDialogManager::RelayoutDialog(IUnknown* dialog) {
    CInterfacePtr<CDialogContent> content = GetDialogContent(dialog);
    if (!content) return E_FAIL;
    return LayOut(content.Get(), LAYOUT_MODE_MEASURE);
}

HRESULT CDialogManager::SetTitle(LPCWSTR text) {
    if (text == nullptr) return E_FAIL;
    if (m_window != nullptr) SetWindowTextW(m_window, text);
    ShowTitleInShell(m_window, text);
    return S_OK;
}

HRESULT CDialogManager::IsTopLayerFlagClear() {
    return m_stack.Count() > 0 && (m_stack.TopFlags() & DialogClosable) != 0 ? S_OK : S_FALSE;
}

HRESULT CDialogManager::ActivateLayer(LPCWSTR name) {
    CInterfacePtr<CDialogContent> top = m_stack.GetTop();
    if (!top) return S_FALSE;
    std::size_t index = 0;
    if (top->FindLayerIndex(name, &index)) top->SetActiveLayer(top->LayerAt(index), FALSE);
    return S_OK;
}

}  // namespace XmlLayouts
