// The modal loop shared by the message box and the object model's dialogs.
#include "platform/user/ModalLoop.h"

#include "platform/user/Window.h"

namespace platform {

std::optional<int> RunModalLoop(HWND window, const int& answer) {
    while (answer == 0 && IsWindow(window)) {
        MSG message;
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got < 0) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return std::nullopt;
}

void AnswerModal(HWND window, int& answer, int value) {
    answer = value;
    PostMessageW(window, WM_NULL, 0, 0);
}

}  // namespace platform
