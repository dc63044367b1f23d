// MessageBoxW: a top-level window of the system's "Dialog" class, titled with the caption,
// whose "STATIC" child holds the text; its modal loop runs on the calling thread until the
// box is answered.
#include "platform/user/MessageBox.h"

#include "platform/user/ModalLoop.h"
#include "platform/user/Window.h"
#include "platform/user/WindowClass.h"
#include "platform/user/WindowCreate.h"
#include "platform/user/WindowState.h"

namespace platform::user {

namespace {

constexpr LONG_PTR kTextChildId = 0xFFFF;

struct BoxState {
    UINT type = MB_OK;
    int answer = 0;
};

bool IsButtonOf(UINT type, int id) {
    switch (type & MB_TYPEMASK) {
        case MB_OK: return id == IDOK;
        case MB_OKCANCEL: return id == IDOK || id == IDCANCEL;
        case MB_ABORTRETRYIGNORE: return id == IDABORT || id == IDRETRY || id == IDIGNORE;
        case MB_YESNOCANCEL: return id == IDYES || id == IDNO || id == IDCANCEL;
        case MB_YESNO: return id == IDYES || id == IDNO;
        case MB_RETRYCANCEL: return id == IDRETRY || id == IDCANCEL;
        default: return id == IDOK;
    }
}

// The answer of a box closed without a button: the one that cancels.
int CancelAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK: return IDOK;
        case MB_YESNO: return IDNO;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        default: return IDCANCEL;
    }
}

LRESULT BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<BoxState*>(GetWindowLongW(window, GWL_USERDATA));
    if (state != nullptr && state->answer == 0) {
        int answer = 0;
        if (message == WM_COMMAND) {
            int id = LOWORD(wParam);
            if (IsButtonOf(state->type, id))
                answer = id;
            else if (id == IDCANCEL)
                answer = CancelAnswer(state->type);
        } else if (message == WM_CLOSE) {
            answer = CancelAnswer(state->type);
        }
        if (answer != 0) {
            platform::AnswerModal(window, state->answer, answer);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateSystemWindow(const char16_t* className, LPCWSTR title, DWORD style, RECT placed, HWND parent,
                        LONG_PTR id) {
    std::shared_ptr<WindowClassRecord> windowClass;
    {
        WindowSystem& system = System();
        std::lock_guard<std::mutex> guard(system.mutex);
        windowClass = SystemClassLocked(system, className);
    }
    CreateRequest request;
    request.className = className;
    request.title = title;
    request.style = style;
    request.x = placed.left;
    request.y = placed.top;
    request.width = placed.right - placed.left;
    request.height = placed.bottom - placed.top;
    request.parent = parent;
    request.menu = reinterpret_cast<HMENU>(id);
    return CreateWindowFromClass(windowClass, request);
}

HWND TopLevelOf(HWND window) {
    if (window == nullptr) return nullptr;
    WindowSystem& system = System();
    std::lock_guard<std::mutex> guard(system.mutex);
    auto record = FindLocked(system, window);
    if (!record) return nullptr;
    return TopLevelOfLocked(system, record)->handle;
}

}  // namespace

}  // namespace platform::user

using namespace platform::user;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    SIZE display = platform::DisplaySize();
    LONG width = display.cx * 9 / 10;
    LONG height = display.cy / 3;
    RECT placed{(display.cx - width) / 2, (display.cy - height) / 2, 0, 0};
    placed.right = placed.left + width;
    placed.bottom = placed.top + height;
    HWND ownerTop = TopLevelOf(owner);
    // The caption comes last, so that a search for the box by its caption finds it whole.
    HWND box = CreateSystemWindow(u"Dialog", u"", WS_POPUP | WS_CAPTION, placed, ownerTop, 0);
    if (box == nullptr) return 0;
    BoxState state;
    state.type = type;
    SetWindowLongW(box, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    SetWindowLongW(box, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&BoxProcedure));
    const LONG margin = 8;
    CreateSystemWindow(u"STATIC", text != nullptr ? text : u"", WS_CHILD | WS_VISIBLE,
                       RECT{margin, margin, width - margin, height - margin}, box, kTextChildId);
    SetWindowTextW(box, caption != nullptr ? caption : u"Error");
    ShowWindow(box, SW_SHOW);

    std::optional<int> quit = platform::RunModalLoop(box, state.answer);
    int answer = state.answer != 0 ? state.answer : CancelAnswer(type);
    if (IsWindow(box)) {
        SetWindowLongW(box, GWL_USERDATA, 0);
        DestroyWindow(box);
    }
    if (ownerTop != nullptr && IsWindow(ownerTop) && GetActiveWindow() == nullptr) SetActiveWindow(ownerTop);
    if (quit) PostQuitMessage(*quit);
    return answer;
}
