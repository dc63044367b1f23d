// Shared pieces of the screen tests: a window class that records the messages it gets, a
// fixture with a fresh handset root and a default display, and a PNG reader for checking
// screenshots.
#pragma once

#include "platform/screen/PngFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/screen/Display.h"
#include "platform/screen/Screen.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace screen_test {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD tick;  // GetTickCount when the procedure got it
};

inline std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

inline LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({window, message, wParam, lParam, GetTickCount()});
    return DefWindowProcW(window, message, wParam, lParam);
}

// The input messages a window got, in order (key messages without the characters that
// TranslateMessage makes of them).
inline std::vector<Received> InputOf(HWND window) {
    std::vector<Received> found;
    for (const Received& entry : Log()) {
        bool input = entry.message == WM_KEYDOWN || entry.message == WM_KEYUP ||
                     (entry.message >= WM_MOUSEFIRST && entry.message <= WM_MOUSELAST) ||
                     entry.message == WM_HOTKEY || entry.message == WM_CLOSE;
        if (input && entry.window == window) found.push_back(entry);
    }
    return found;
}

// Dispatches everything waiting for this thread (each PeekMessageW also pumps the screen).
inline void PumpAll() {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = u"ScreenRecorder";
        RegisterClassW(&windowClass);  // fails harmlessly when registered already
        Log().clear();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
    }
    void TearDown() override {
        platform::screen::Stop();
        platform::screen::SetCaptureSource({});
        for (HWND window : made_)
            if (IsWindow(window)) DestroyWindow(window);
        PumpAll();
        platform::clock::UseRealClock();
        platform::screen::Configure(platform::screen::DisplayGeometry{});
        Log().clear();
    }
    HWND Make(const char16_t* title, int x, int y, int width, int height, DWORD style = WS_VISIBLE,
              HWND parent = nullptr) {
        HWND window = CreateWindowExW(0, u"ScreenRecorder", title, style, x, y, width, height, parent, nullptr,
                                      nullptr, nullptr);
        made_.push_back(window);
        return window;
    }
    // A script file in the handset root, for Start.
    std::string WriteScript(const std::string& text, const std::string& name = "script.txt");

    handset_test::TempHandsetRoot root_;
    std::vector<HWND> made_;
};

using platform::screen::ReadPng;

}  // namespace screen_test
