// The modal "Dialog" window of the object model: creation, children and its message loop.
#include "platform/poom/ModalDialog.h"

#include "platform/user/ModalLoop.h"
#include "platform/user/Window.h"

namespace platform::poom {

ModalDialog::~ModalDialog() {
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongW(window_, GWL_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool ModalDialog::Create(HWND owner, const std::u16string& title) {
    SIZE display = platform::DisplaySize();
    window_ = CreateWindowExW(0, u"Dialog", title.c_str(), WS_POPUP | WS_CAPTION, 0, 0, display.cx, display.cy, owner,
                              nullptr, nullptr, nullptr);
    if (window_ == nullptr) return false;
    SetWindowLongW(window_, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongW(window_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ModalDialog::Procedure));
    return true;
}

HWND ModalDialog::AddText(int id, const std::u16string& text, const RECT& placed) {
    return CreateWindowExW(0, u"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, placed.left, placed.top,
                           placed.right - placed.left, placed.bottom - placed.top, window_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

int ModalDialog::Run(std::function<bool(int)> ends) {
    ends_ = std::move(ends);
    answer_ = 0;
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (std::optional<int> quit = platform::RunModalLoop(window_, answer_)) PostQuitMessage(*quit);
    return answer_ != 0 ? answer_ : IDCANCEL;
}

std::u16string ModalDialog::TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

LRESULT ModalDialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongW(window, GWL_USERDATA));
    if (dialog != nullptr && dialog->answer_ == 0) {
        int answer = 0;
        if (message == WM_COMMAND) {
            int id = LOWORD(wParam);
            if (id == IDCANCEL || (dialog->ends_ && dialog->ends_(id))) answer = id;
        } else if (message == WM_CLOSE) {
            answer = IDCANCEL;
        }
        if (answer != 0) {
            platform::AnswerModal(window, dialog->answer_, answer);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace platform::poom
