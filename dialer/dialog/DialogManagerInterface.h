// The dialog manager interface, as its holders reach it: the host window's layouts, the
// contents, layers and items (through the manager's locked proxy, its site), and the
// animations and transitions that repaint through it.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

class IDialogAnimation;
class IDialogContent;
class IDialogContentBase;
class ILayoutElement;

// ShowDialog's flags: the low byte is the push mode; the low 16 bits are dropped and the high
// bits stay with the entry.
constexpr DWORD DIALOG_PUSH_MODE_MASK = 0xFF;
constexpr DWORD DIALOG_PUSH_REPLACE_TOP = 1;
constexpr DWORD DIALOG_PUSH_REPLACE_ALL = 2;
constexpr DWORD DIALOG_PUSH_COVER = 3;
constexpr DWORD DIALOG_PUSH_KEEP_BOTTOM = 4;
constexpr DWORD DIALOG_PUSH_REPLACE_OVERLAY = 5;
// The dialog beneath stays active: laid out, painted and given keys with this one.
constexpr DWORD DialogOverlay = 0x10000;
// CloseFlaggedOverlays may close this entry (with everything above it).
constexpr DWORD DialogClosable = 0x20000;

class IDialogManager : public IUnknown {
public:
    static constexpr IID kIid = IID_IDialogManager;

    // LoadDialog, then ShowDialog of the new content.
    virtual HRESULT OpenDialog(LPCWSTR name, DWORD flags, IUnknown* parameter) = 0;
    // A new content for the named layout set, the parameter object its root layer's
    // handler. E_INVALIDARG without a name or an out; E_FAIL when it cannot be built.
    virtual HRESULT LoadDialog(LPCWSTR name, IUnknown* parameter, IDialogContent** out) = 0;
    // Pushes a content (any of its interfaces); E_FAIL when it is none or the push is
    // refused.
    virtual HRESULT ShowDialog(IUnknown* dialog, DWORD flags) = 0;
    // E_FAIL when nothing was closed (the bottom entry always stays).
    virtual HRESULT CloseTopDialog() = 0;
    // Every entry above the bottom one, or every entry when `all` is set.
    virtual HRESULT CloseDialogs(BOOL all) = 0;
    // The current content's proxy with a reference; E_INVALIDARG, E_FAIL when there is none.
    virtual HRESULT GetContentObject(IDialogContentBase** out) = 0;
    virtual HRESULT GetWindow(HWND* out) = 0;
    // Marks the dialog for painting: without `now` the window is invalidated (FALSE);
    // with `now` it is painted and shown at once (TRUE when that succeeded).
    virtual BOOL Invalidate(BOOL now) = 0;
    // Paints the items that show one element object (all when null) and invalidates rect.
    virtual HRESULT RepaintObject(ILayoutElement* element, BOOL update, const RECT* rect) = 0;
    // Lays the active contents out again at the manager's size.
    virtual HRESULT RelayoutActive() = 0;
    // Lays one content out at the manager's size on its own.
    virtual HRESULT RelayoutDialog(IUnknown* dialog) = 0;
    virtual HRESULT SetTitle(LPCWSTR text) = 0;
    // The back buffer's bitmap, rendered when needed; with `detach` the caller owns it.
    virtual HRESULT GetBackBufferBitmap(HBITMAP* out, BOOL detach) = 0;
    // Renders a content: into a bitmap of the caller's own (separate) or into the back
    // buffer (the manager's bitmap).
    virtual HRESULT RenderContent(IUnknown* dialog, HBITMAP* out, BOOL separate) = 0;
    // Plays an animation frame by frame; E_INVALIDARG for none.
    virtual HRESULT Animate(IDialogAnimation* animation) = 0;
    virtual HRESULT GetSize(SIZE* out) = 0;
    // Closes the first non-overlay entry from the top when it is closable, with everything
    // above it.
    virtual HRESULT CloseFlaggedOverlays() = 0;
    // S_FALSE when the stack is empty or its top is not closable, S_OK when it is.
    virtual HRESULT IsTopLayerFlagClear() = 0;
    // Makes the named layer of the current content its active layer; S_FALSE without a
    // content.
    virtual HRESULT ActivateLayer(LPCWSTR name) = 0;
};
