// XmlLayouts::CDialogManager: turns layout sets into a working screen inside one host window.
// It keeps a stack of dialog contents, lays the active ones out at its size, renders them
// into a 16-bit back buffer (a popup over a cached picture of the dialog beneath it) and
// copies that to the window, and plays frame animations. Contents, layers and items hold
// its locked proxy (GetSite), which goes dead with the manager. Painting is in
// DialogManager_paint.cpp, animation in DialogManager_animate.cpp.
#pragma once

#include "dialer/dialog/ContentStack.h"
#include "dialer/dialog/DialogManagerInterface.h"
#include "dialer/dialog/DialogProxies.h"
#include "dialer/surface/DibSurface.h"

namespace XmlLayouts {

class CDialogManager : public CUnknownImpl<IDialogManager> {
public:
    // Needs painting, no window, size 0 × 0; the screen's density cached. Throws
    // E_OUTOFMEMORY when the site proxy cannot be made.
    CDialogManager();

    // IDialogManager
    HRESULT OpenDialog(LPCWSTR name, DWORD flags, IUnknown* parameter) override;
    HRESULT LoadDialog(LPCWSTR name, IUnknown* parameter, IDialogContent** out) override;
    HRESULT ShowDialog(IUnknown* dialog, DWORD flags) override;
    HRESULT CloseTopDialog() override;
    HRESULT CloseDialogs(BOOL all) override;
    HRESULT GetContentObject(IDialogContentBase** out) override;
    HRESULT GetWindow(HWND* out) override;
    BOOL Invalidate(BOOL now) override;
    HRESULT RepaintObject(ILayoutElement* element, BOOL update, const RECT* rect) override;
    HRESULT RelayoutActive() override;
    HRESULT RelayoutDialog(IUnknown* dialog) override;
    HRESULT SetTitle(LPCWSTR text) override;
    HRESULT GetBackBufferBitmap(HBITMAP* out, BOOL detach) override;
    HRESULT RenderContent(IUnknown* dialog, HBITMAP* out, BOOL separate) override;
    HRESULT Animate(IDialogAnimation* animation) override;
    HRESULT GetSize(SIZE* out) override;
    HRESULT CloseFlaggedOverlays() override;
    HRESULT IsTopLayerFlagClear() override;
    HRESULT ActivateLayer(LPCWSTR name) override;

    // The site: the manager's proxy with a reference.
    HRESULT GetSite(IDialogManager** out);
    IDialogManager* Site() const { return m_site.Get(); }

    // The host's part: its window (a capture the previous window held is released first)
    // and the size of the dialog area, which every layout pass uses.
    void SetWindow(HWND window);
    HWND Window() const { return m_window; }
    void SetSize(LONG width, LONG height);
    LONG Width() const { return m_width; }
    LONG Height() const { return m_height; }

    // Copies the back buffer (rendered first when needed) to dc: the dialog area from
    // origin, cut to clip when one is given. False when there is nothing to paint.
    bool Paint(HDC dc, POINT origin, const RECT* clip);

    // Painting (DialogManager_paint.cpp). True when the needs-paint flag is set or the back
    // buffer is missing or of another size.
    bool NeedsRepaint() const;
    // Renders the active contents (or `content`, off screen) into the back buffer and the
    // underlay handles given, making or remaking them at the manager's size. False when
    // there is nothing to paint or a surface cannot be made.
    bool ProcessPaint(CSharedSurface* backBuffer, CSharedSurface* underlay, CDialogContent* content);
    // The back buffer, rendered first when needed; with `detach` the manager forgets it and
    // its underlay.
    CSharedSurface GetBackBuffer(bool detach);
    // Drops the picture of the dialog beneath an overlay (the host does when it is
    // deactivated).
    void DropUnderlay() { m_underlay.Reset(); }

    CContentStack& Stack() { return m_stack; }

    // Input from the host window (DialogManager_input.cpp). Points are client coordinates.
    // WM_LBUTTONDOWN: runs the gesture to its end in a modal loop of its own, pumping the
    // thread's other messages meanwhile; a tap clicks, a press held still is a hold, a
    // movement past the drag threshold drags. With `direct` no drag is tracked.
    void TrackPointer(LONG x, LONG y, BOOL direct);
    // WM_LBUTTONUP after a hold, while the host window holds the capture.
    void OnPointerUp(LONG x, LONG y);
    // WM_ACTIVATE: the top content hears of it; losing activation also ends a gesture.
    void OnActivate(BOOL active);
    // WM_CHAR.
    void OnChar(WCHAR character);
    // WM_KEYDOWN (up 0) and WM_KEYUP (up 1).
    void OnKey(LONG key, BOOL up);

protected:
    ~CDialogManager() override;

private:
    HRESULT LayOut(CDialogContent* content, LONG mode);
    void SendToTop(UINT code);

    HWND m_window = nullptr;
    CInterfacePtr<CDialogManagerProxy> m_site;
    CContentStack m_stack;
    bool m_needsPaint = true;
    CSharedSurface m_backBuffer;
    CSharedSurface m_underlay;
    LONG m_width = 0;
    LONG m_height = 0;
};

// A new manager with one reference in *out; null when it cannot be made.
void CreateDialogManager(CDialogManager** out);

// The host's resize: a new size is stored and, when asked, the active dialogs laid out again.
void SetDialogSize(CDialogManager* manager, SIZE size, bool relayout);

}  // namespace XmlLayouts
