// The inside of device contexts, shared by the drawing calls: the context records and
// their handle table, the objects a state holds, and scoped access to the pixels a
// context draws into (a selected DIB section, or the screen).
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/PixelBuffer.h"

namespace platform::gdi {

// A reference to a selected object that counts as a holder while it exists, so that
// DeleteObject refuses what a context still uses.
class HeldObject {
public:
    HeldObject() = default;
    explicit HeldObject(GdiObjectRef object) : m_object(std::move(object)) { Hold(); }
    HeldObject(const HeldObject& other) : m_object(other.m_object) { Hold(); }
    HeldObject& operator=(const HeldObject& other) {
        if (this != &other) {
            Let();
            m_object = other.m_object;
            Hold();
        }
        return *this;
    }
    ~HeldObject() { Let(); }

    GdiObject* Get() const { return m_object.get(); }
    HGDIOBJ Handle() const { return m_object.get(); }

private:
    void Hold() {
        if (m_object) m_object->holders.fetch_add(1);
    }
    void Let() {
        if (m_object) m_object->holders.fetch_sub(1);
    }
    GdiObjectRef m_object;
};

struct DcState {
    HeldObject bitmap;
    HeldObject font;
    HeldObject brush;
    HeldObject pen;
    COLORREF textColor = 0;
    COLORREF backgroundColor = 0xFFFFFF;
    int backgroundMode = 2;  // OPAQUE
    UINT textAlign = 0;
};

class DeviceContext {
public:
    enum class Kind { Memory, Window };

    DeviceContext(Kind kind, HWND window) : kind(kind), window(window) {}

    const Kind kind;
    const HWND window;      // window contexts: the window, null for the screen
    bool painting = false;  // from BeginPaint
    RECT paintArea{};       // client coordinates, while painting
    std::mutex mutex;
    DcState state;
    std::vector<DcState> saved;
};

using DcRef = std::shared_ptr<DeviceContext>;

// A new context with the stock objects (and, for memory contexts, the default bitmap).
DcRef MakeContext(DeviceContext::Kind kind, HWND window);
// Lets go of everything a context holds.
void ReleaseContext(DeviceContext& dc);

HDC RegisterDc(DcRef dc);
DcRef FindDc(HDC dc);
// Takes the context out of the table; false when it was not there.
bool RemoveDc(HDC dc);

// The pixels one call draws into: the buffer, its clip (buffer coordinates, inside the
// buffer), and the origin added to the caller's coordinates.
struct DrawTarget {
    PixelBuffer pixels;
    RECT clip{};
    POINT origin{};
    RECT dirty{};  // what the call drew, for the screen to show

    void Touch(const RECT& area);
};

// Fills an area (buffer coordinates, inside the clip) with a colour.
void FillTarget(DrawTarget& target, const RECT& area, COLORREF color);

// Locks one or two contexts for a call (and the screen when one of them is a window
// context), in a fixed order so that two calls never wait for each other. Window contexts
// show what was drawn when the access ends.
class DcAccess {
public:
    explicit DcAccess(HDC dc, HDC source = nullptr);
    ~DcAccess();
    DcAccess(const DcAccess&) = delete;
    DcAccess& operator=(const DcAccess&) = delete;

    // False when a handle was not a context (ERROR_INVALID_HANDLE is set).
    bool Valid() const { return m_valid; }
    DeviceContext& Dc() { return *m_dc; }
    DrawTarget& Target() { return m_target; }
    DeviceContext& SourceDc() { return *m_source; }
    DrawTarget& SourceTarget() { return m_sourceTarget; }

private:
    DrawTarget TargetOf(DeviceContext& dc);

    DcRef m_dc;
    DcRef m_source;
    std::vector<std::unique_lock<std::mutex>> m_locks;
    bool m_valid = false;
    bool m_screen = false;
    DrawTarget m_target;
    DrawTarget m_sourceTarget;
};

}  // namespace platform::gdi
