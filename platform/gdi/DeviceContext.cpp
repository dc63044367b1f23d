// Device contexts: the handle table, memory contexts, saved states, selected objects,
// colours and modes, capabilities, and scoped access to the pixels they draw into.
#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "platform/base/Errors.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DcInternals.h"
#include "platform/gdi/DibSection.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/ScreenSurface.h"
#include "platform/screen/Display.h"
#include "platform/user/Window.h"

namespace platform::gdi {

namespace {

struct DcTable {
    std::mutex mutex;
    std::unordered_map<HDC, DcRef> contexts;
};

DcTable& Contexts() {
    static auto* table = new DcTable();
    return *table;
}

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

HeldObject HeldStock(int stock) { return HeldObject(FindGdiObject(GetStockObject(stock))); }

DcRef FindOrFail(HDC dc) {
    DcRef found = FindDc(dc);
    if (!found) SetLastError(ERROR_INVALID_HANDLE);
    return found;
}

DibSection* BitmapOf(const DcState& state) { return static_cast<DibSection*>(state.bitmap.Get()); }

}  // namespace

HDC RegisterDc(DcRef dc) {
    HDC handle = reinterpret_cast<HDC>(dc.get());
    DcTable& table = Contexts();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.contexts.emplace(handle, std::move(dc));
    return handle;
}

DcRef FindDc(HDC dc) {
    if (dc == nullptr) return nullptr;
    DcTable& table = Contexts();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.contexts.find(dc);
    return found == table.contexts.end() ? nullptr : found->second;
}

bool RemoveDc(HDC dc) {
    DcRef removed;
    DcTable& table = Contexts();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.contexts.find(dc);
    if (found == table.contexts.end()) return false;
    removed = std::move(found->second);
    table.contexts.erase(found);
    return true;
}

DcRef MakeContext(DeviceContext::Kind kind, HWND window) {
    auto dc = std::make_shared<DeviceContext>(kind, window);
    if (kind == DeviceContext::Kind::Memory) dc->state.bitmap = HeldObject(FindGdiObject(DefaultBitmap()));
    dc->state.font = HeldStock(SYSTEM_FONT);
    dc->state.brush = HeldStock(WHITE_BRUSH);
    dc->state.pen = HeldStock(BLACK_PEN);
    if (auto* bitmap = BitmapOf(dc->state); bitmap != nullptr && !bitmap->stock) bitmap->selectedInto = dc.get();
    return dc;
}

void ReleaseContext(DeviceContext& dc) {
    std::lock_guard<std::mutex> lock(dc.mutex);
    if (auto* bitmap = BitmapOf(dc.state); bitmap != nullptr && bitmap->selectedInto == &dc)
        bitmap->selectedInto = nullptr;
    dc.saved.clear();
    dc.state = DcState{};
}

void DrawTarget::Touch(const RECT& area) {
    const RECT touched = Intersect(area, clip);
    if (touched.right <= touched.left || touched.bottom <= touched.top) return;
    if (dirty.right <= dirty.left || dirty.bottom <= dirty.top) {
        dirty = touched;
        return;
    }
    dirty = RECT{std::min(dirty.left, touched.left), std::min(dirty.top, touched.top),
                 std::max(dirty.right, touched.right), std::max(dirty.bottom, touched.bottom)};
}

DcAccess::DcAccess(HDC dc, HDC source) {
    m_dc = FindOrFail(dc);
    if (!m_dc) return;
    if (source != nullptr) {
        m_source = FindOrFail(source);
        if (!m_source) return;
    }
    // Contexts in address order, then the screen: every call takes locks in this order.
    DeviceContext* first = m_dc.get();
    DeviceContext* second = m_source ? m_source.get() : nullptr;
    if (second != nullptr && second < first) std::swap(first, second);
    m_locks.emplace_back(first->mutex);
    if (second != nullptr && second != first) m_locks.emplace_back(second->mutex);
    m_screen = m_dc->kind == DeviceContext::Kind::Window || (m_source && m_source->kind == DeviceContext::Kind::Window);
    if (m_screen) m_locks.emplace_back(ScreenMutex());
    m_target = TargetOf(*m_dc);
    if (m_source) m_sourceTarget = TargetOf(*m_source);
    m_valid = true;
}

DcAccess::~DcAccess() {
    if (m_valid && m_dc->kind == DeviceContext::Kind::Window) ShowScreenArea(m_target.dirty);
}

DrawTarget DcAccess::TargetOf(DeviceContext& dc) {
    DrawTarget target;
    if (dc.kind == DeviceContext::Kind::Memory) {
        if (const DibSection* bitmap = BitmapOf(dc.state)) target.pixels = bitmap->Pixels();
        target.clip = RECT{0, 0, target.pixels.width, target.pixels.height};
        return target;
    }
    target.pixels = ScreenPixels();
    const RECT screen{0, 0, target.pixels.width, target.pixels.height};
    if (dc.window == nullptr) {
        target.clip = screen;
        return target;
    }
    RECT placed{};
    if (!IsWindow(dc.window) || !IsWindowVisible(dc.window) || !GetWindowRect(dc.window, &placed))
        return target;  // an empty clip: nothing shows
    target.origin = POINT{placed.left, placed.top};
    target.clip = Intersect(placed, screen);
    if (dc.painting) {
        const RECT area{dc.paintArea.left + placed.left, dc.paintArea.top + placed.top,
                        dc.paintArea.right + placed.left, dc.paintArea.bottom + placed.top};
        target.clip = Intersect(target.clip, area);
    }
    if (target.clip.right < target.clip.left) target.clip.right = target.clip.left;
    if (target.clip.bottom < target.clip.top) target.clip.bottom = target.clip.top;
    return target;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HDC CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && !FindOrFail(dc)) return nullptr;
    return RegisterDc(MakeContext(DeviceContext::Kind::Memory, nullptr));
}

BOOL DeleteDC(HDC dc) {
    DcRef found = FindOrFail(dc);
    if (!found) return FALSE;
    if (found->kind != DeviceContext::Kind::Memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!RemoveDc(dc)) return FALSE;
    ReleaseContext(*found);
    return TRUE;
}

int SaveDC(HDC dc) {
    DcRef found = FindOrFail(dc);
    if (!found) return 0;
    std::lock_guard<std::mutex> lock(found->mutex);
    found->saved.push_back(found->state);
    return static_cast<int>(found->saved.size());
}

BOOL RestoreDC(HDC dc, int savedState) {
    DcRef found = FindOrFail(dc);
    if (!found) return FALSE;
    std::lock_guard<std::mutex> lock(found->mutex);
    const int depth = static_cast<int>(found->saved.size());
    const int wanted = savedState < 0 ? depth + 1 + savedState : savedState;
    if (savedState == 0 || wanted < 1 || wanted > depth) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (auto* bitmap = BitmapOf(found->state); bitmap != nullptr && bitmap->selectedInto == found.get())
        bitmap->selectedInto = nullptr;
    found->state = found->saved[static_cast<std::size_t>(wanted - 1)];
    found->saved.resize(static_cast<std::size_t>(wanted - 1));
    if (auto* bitmap = BitmapOf(found->state); bitmap != nullptr && !bitmap->stock) bitmap->selectedInto = found.get();
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DcRef found = FindOrFail(dc);
    if (!found) return nullptr;
    platform::GdiObjectRef selected = platform::FindGdiObject(object);
    if (!selected) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(found->mutex);
    DcState& state = found->state;
    HeldObject* slot = nullptr;
    switch (selected->Type()) {
        case OBJ_BITMAP: {
            auto* bitmap = static_cast<DibSection*>(selected.get());
            if (found->kind != DeviceContext::Kind::Memory ||
                (bitmap->selectedInto != nullptr && bitmap->selectedInto != found.get())) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            if (auto* old = BitmapOf(state); old != nullptr && old->selectedInto == found.get())
                old->selectedInto = nullptr;
            if (!bitmap->stock) bitmap->selectedInto = found.get();
            slot = &state.bitmap;
            break;
        }
        case OBJ_FONT:
            slot = &state.font;
            break;
        case OBJ_BRUSH:
            slot = &state.brush;
            break;
        case OBJ_PEN:
            slot = &state.pen;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
    HGDIOBJ previous = slot->Handle();
    *slot = HeldObject(std::move(selected));
    return previous;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    DcRef found = FindOrFail(dc);
    if (!found) return nullptr;
    std::lock_guard<std::mutex> lock(found->mutex);
    switch (type) {
        case OBJ_BITMAP:
            return found->state.bitmap.Handle();
        case OBJ_FONT:
            return found->state.font.Handle();
        case OBJ_BRUSH:
            return found->state.brush.Handle();
        case OBJ_PEN:
            return found->state.pen.Handle();
        default:
            return nullptr;
    }
}

namespace {

// Replaces one attribute of a context's state and gives its former value.
template <class T, class Member>
T Exchange(HDC dc, Member member, T value, T failure) {
    DcRef found = FindOrFail(dc);
    if (!found) return failure;
    std::lock_guard<std::mutex> lock(found->mutex);
    return std::exchange(found->state.*member, value);
}

template <class T, class Member>
T Read(HDC dc, Member member, T failure) {
    DcRef found = FindOrFail(dc);
    if (!found) return failure;
    std::lock_guard<std::mutex> lock(found->mutex);
    return found->state.*member;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return Exchange<COLORREF>(dc, &DcState::textColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) { return Read<COLORREF>(dc, &DcState::textColor, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF color) {
    return Exchange<COLORREF>(dc, &DcState::backgroundColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetBkColor(HDC dc) { return Read<COLORREF>(dc, &DcState::backgroundColor, CLR_INVALID); }

int SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Exchange<int>(dc, &DcState::backgroundMode, mode, 0);
}
int GetBkMode(HDC dc) { return Read<int>(dc, &DcState::backgroundMode, 0); }
UINT SetTextAlign(HDC dc, UINT align) { return Exchange<UINT>(dc, &DcState::textAlign, align, 0xFFFFFFFFu); }
UINT GetTextAlign(HDC dc) { return Read<UINT>(dc, &DcState::textAlign, 0xFFFFFFFFu); }

int GetDeviceCaps(HDC dc, int index) {
    if (!FindOrFail(dc)) return 0;
    const SIZE size = platform::screen::Size();
    const int dpi = platform::screen::Dpi();
    switch (index) {
        case DRIVERVERSION:
            return 0x0500;
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZSIZE:
            return static_cast<int>((size.cx * 254 + dpi * 5) / (dpi * 10));
        case VERTSIZE:
            return static_cast<int>((size.cy * 254 + dpi * 5) / (dpi * 10));
        case HORZRES:
            return static_cast<int>(size.cx);
        case VERTRES:
            return static_cast<int>(size.cy);
        case BITSPIXEL:
            return 16;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;
        case RASTERCAPS:
            return RC_BITBLT | RC_DI_BITMAP | RC_STRETCHBLT;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return dpi;
        default:
            return 0;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    if (platform::GdiObjectRef found = platform::FindGdiObject(object)) return found->Type();
    if (DcRef dc = FindDc(static_cast<HDC>(object)))
        return dc->kind == DeviceContext::Kind::Memory ? OBJ_MEMDC : OBJ_DC;
    return 0;
}
