// Window and screen contexts.
#include "platform/gdi/Paint.h"

#include "platform/base/Errors.h"
#include "platform/gdi/DcInternals.h"
#include "platform/user/Window.h"

using namespace platform::gdi;

namespace {

HDC MakeWindowContext(HWND window, const RECT* paintArea) {
    if (window != nullptr && !platform::IsOwnWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    DcRef dc = MakeContext(DeviceContext::Kind::Window, window);
    if (paintArea != nullptr) {
        dc->painting = true;
        dc->paintArea = *paintArea;
    }
    return RegisterDc(std::move(dc));
}

bool FreeWindowContext(HWND window, HDC dc) {
    DcRef found = FindDc(dc);
    if (!found || found->kind != DeviceContext::Kind::Window || found->window != window) return false;
    if (!RemoveDc(dc)) return false;
    ReleaseContext(*found);
    return true;
}

}  // namespace

HDC GetDC(HWND window) { return MakeWindowContext(window, nullptr); }

int ReleaseDC(HWND window, HDC dc) { return FreeWindowContext(window, dc) ? 1 : 0; }

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (paint == nullptr || window == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    RECT area{};
    if (!platform::IsOwnWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    GetUpdateRect(window, &area, FALSE);
    ValidateRect(window, nullptr);
    HDC dc = MakeWindowContext(window, &area);
    paint->hdc = dc;
    paint->rcPaint = area;
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint == nullptr) return FALSE;
    return FreeWindowContext(window, paint->hdc) ? TRUE : FALSE;
}
