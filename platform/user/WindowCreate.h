// Window creation from a class record, shared by CreateWindowExW and the system's own
// windows (message boxes), which must use the system's class whatever the program registered.
#pragma once

#include <memory>

#include "platform/user/WindowState.h"

namespace platform::user {

struct CreateRequest {
    DWORD exStyle = 0;
    LPCWSTR className = nullptr;  // as the caller gave it, for CREATESTRUCTW
    LPCWSTR title = nullptr;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    HINSTANCE instance = nullptr;
    LPVOID parameter = nullptr;
};

HWND CreateWindowFromClass(const std::shared_ptr<WindowClassRecord>& windowClass, const CreateRequest& request);

}  // namespace platform::user
