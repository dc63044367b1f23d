// A window of the system's "Dialog" class run modally on the calling thread, as the object
// model's windows are: the item window and the chooser of a new item's type. Its "STATIC"
// children hold the texts; a WM_COMMAND whose id the caller accepts ends it, and so do
// IDCANCEL and WM_CLOSE (as IDCANCEL).
#pragma once

#include <functional>
#include <string>

#include "platform/base/Types.h"

namespace platform::poom {

class ModalDialog {
public:
    ModalDialog() = default;
    ~ModalDialog();
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // A hidden top-level window covering the display, owned by `owner` (may be null).
    bool Create(HWND owner, const std::u16string& title);
    HWND Window() const { return window_; }
    HWND AddText(int id, const std::u16string& text, const RECT& placed);

    // Shows the window in front and runs its loop until it ends; gives the id that ended it.
    // A WM_QUIT met meanwhile ends it as IDCANCEL and is posted again for the caller's loop.
    int Run(std::function<bool(int commandId)> ends);

    static std::u16string TextOf(HWND window);

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    int answer_ = 0;
    std::function<bool(int)> ends_;
};

}  // namespace platform::poom
