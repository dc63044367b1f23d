// The manager's painting: rendering the active contents into the back buffer (over the
// cached picture of the dialog beneath an overlay), copying it to the window, rendering a
// content off screen, and repainting the items of one object.
#include <algorithm>

#include "dialer/dialog/DialogManager.h"
#include "dialer/dialog/ProfilerHooks.h"
#include "dialer/surface/SurfaceDrawing.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Paint.h"
#include "platform/user/Window.h"

namespace XmlLayouts {

namespace {

// Paint modes: no pressed highlight (off-screen renders), normal, and a drag under way.
constexpr LONG kModeOffScreen = 0;
constexpr LONG kModeNormal = 1;
constexpr LONG kModeCaptured = 2;

bool HasSize(const CSharedSurface& surface, LONG width, LONG height) {
    return surface && surface->GetWidth() == width && surface->GetHeight() == height;
}

// A surface of the manager's size in the handle; false when it cannot be made.
bool EnsureSurface(CSharedSurface* surface, LONG width, LONG height, bool* remade) {
    if (remade != nullptr) *remade = false;
    if (HasSize(*surface, width, height)) return true;
    *surface = MakeDibSurface(width, height, DIB_FORMAT_RGB565);
    if (remade != nullptr) *remade = true;
    return static_cast<bool>(*surface);
}

PaintContext ContextFor(CDibSurface& surface, LONG mode, LONG fullRepaint) {
    PaintContext context;
    context.dc = surface.SelectIntoMemoryDC();
    context.bitmap = surface.GetBitmap();
    context.mode = mode;
    context.width = surface.GetWidth();
    context.height = surface.GetHeight();
    context.fullRepaint = fullRepaint;
    return context;
}

}  // namespace

bool CDialogManager::NeedsRepaint() const {
    return m_needsPaint || !HasSize(m_backBuffer, m_width, m_height);
}

bool CDialogManager::ProcessPaint(CSharedSurface* backBuffer, CSharedSurface* underlay, CDialogContent* content) {
    CProfileScope scope(u"CDialogManager::ProcessPaint");
    if (backBuffer == nullptr || underlay == nullptr) return false;
    CInterfacePtr<CDialogContent> top;
    CInterfacePtr<CDialogContent> beneath;
    if (content != nullptr)
        top.Reset(content);
    else
        m_stack.GetActive(&top, &beneath);
    if (!top) return false;
    if (!EnsureSurface(backBuffer, m_width, m_height, nullptr)) return false;

    CDibSurface& target = **backBuffer;
    PaintContext context = ContextFor(target, kModeNormal, 1);
    if (context.dc == nullptr) return false;
    CDCStateSaver saver(context.dc);
    if (beneath) {
        bool remade = false;
        if (!EnsureSurface(underlay, m_width, m_height, &remade)) return false;
        // The picture beneath an overlay is taken once, when its surface is made.
        if (remade) {
            PaintContext under = ContextFor(**underlay, kModeOffScreen, 1);
            CDCStateSaver underSaver(under.dc);
            beneath->Paint(under, nullptr);
        }
        CopySurfaceRect(target, 0, 0, m_width, m_height, **underlay, 0, 0);
    } else if (*underlay) {
        underlay->Reset();
    }
    if (content != nullptr)
        context.mode = kModeOffScreen;
    else
        context.mode = m_window != nullptr && ::GetCapture() == m_window ? kModeCaptured : kModeNormal;
    top->Paint(context, nullptr);
    saver.Restore();
    // Only a render of the active contents into the manager's own buffer brings the window
    // up to date; an off-screen render of another content leaves it to be painted again.
    if (content == nullptr && backBuffer == &m_backBuffer) m_needsPaint = false;
    return true;
}

CSharedSurface CDialogManager::GetBackBuffer(bool detach) {
    if (NeedsRepaint()) ProcessPaint(&m_backBuffer, &m_underlay, nullptr);
    CSharedSurface buffer = m_backBuffer;
    if (detach) {
        m_backBuffer.Reset();
        m_underlay.Reset();
    }
    return buffer;
}

HRESULT CDialogManager::GetBackBufferBitmap(HBITMAP* out, BOOL detach) {
    if (out == nullptr) return E_INVALIDARG;
    CSharedSurface buffer = GetBackBuffer(detach != FALSE);
    if (!buffer || buffer->GetBitmap() == nullptr) return E_FAIL;
    *out = detach ? buffer->DetachBitmap() : buffer->GetBitmap();
    return *out != nullptr ? S_OK : E_FAIL;
}

HRESULT CDialogManager::RenderContent(IUnknown* dialog, HBITMAP* out, BOOL separate) {
    CInterfacePtr<IUnknown> held(dialog);
    CInterfacePtr<CDialogContent> content = GetDialogContent(dialog);
    if (!content) return E_FAIL;
    if (separate) {
        CSharedSurface buffer;
        CSharedSurface underlay;
        if (!ProcessPaint(&buffer, &underlay, content.Get())) return E_FAIL;
        if (out != nullptr) *out = buffer->DetachBitmap();
        return S_OK;
    }
    if (!ProcessPaint(&m_backBuffer, &m_underlay, content.Get())) return E_FAIL;
    // The back buffer now shows this content, not the active one.
    m_needsPaint = true;
    if (out != nullptr) *out = m_backBuffer->GetBitmap();
    return S_OK;
}

HRESULT CDialogManager::RepaintObject(ILayoutElement* element, BOOL update, const RECT* rect) {
    if (NeedsRepaint()) {
        Invalidate(update);
        return S_OK;
    }
    CInterfacePtr<CDialogContent> top = m_stack.GetTop();
    if (top) {
        PaintContext context = ContextFor(*m_backBuffer, kModeOffScreen, 0);
        CDCStateSaver saver(context.dc);
        top->Paint(context, element);
        if (m_window != nullptr) {
            InvalidateRect(m_window, rect, TRUE);
            if (update) UpdateWindow(m_window);
        }
    }
    return S_OK;
}

BOOL CDialogManager::Invalidate(BOOL now) {
    m_needsPaint = true;
    if (!now) {
        // Without a window there is nothing to invalidate (a null window would mean all of
        // them).
        if (m_window != nullptr) InvalidateRect(m_window, nullptr, TRUE);
        return FALSE;
    }
    if (!ProcessPaint(&m_backBuffer, &m_underlay, nullptr)) return FALSE;
    if (m_window != nullptr) {
        HDC dc = GetDC(m_window);
        if (dc != nullptr) {
            RECT client{};
            GetClientRect(m_window, &client);
            BitBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top,
                   m_backBuffer->SelectIntoMemoryDC(), 0, 0, SRCCOPY);
            ReleaseDC(m_window, dc);
        }
    }
    return TRUE;
}

bool CDialogManager::Paint(HDC dc, POINT origin, const RECT* clip) {
    CProfileScope scope(u"XmlLayouts::CDialogManager::Paint");
    if (NeedsRepaint() && !ProcessPaint(&m_backBuffer, &m_underlay, nullptr)) return false;
    if (!m_backBuffer) return false;
    RECT target{origin.x, origin.y, m_width, m_height};
    if (clip != nullptr) {
        target.left = std::max(target.left, clip->left);
        target.top = std::max(target.top, clip->top);
        target.right = std::min(target.right, clip->right);
        target.bottom = std::min(target.bottom, clip->bottom);
    }
    if (target.right > target.left && target.bottom > target.top)
        BitBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               m_backBuffer->SelectIntoMemoryDC(), target.left - origin.x, target.top - origin.y, SRCCOPY);
    return true;
}

}  // namespace XmlLayouts
