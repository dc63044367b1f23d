// Shared pieces of the window tests: a window class whose procedure records every message
// it gets, and a fixture with a fresh handset root that leaves no window or message behind.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/user/Window.h"
#include "tests/support/TestSupport.h"

namespace window_test {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message that reached a recording window, from any thread.
class MessageLog {
public:
    void Add(const Received& entry) {
        std::lock_guard<std::mutex> guard(mutex_);
        entries_.push_back(entry);
    }
    void Clear() {
        std::lock_guard<std::mutex> guard(mutex_);
        entries_.clear();
    }
    std::vector<Received> Entries() {
        std::lock_guard<std::mutex> guard(mutex_);
        return entries_;
    }
    // The messages of `window` among `wanted` (all when empty), in order.
    std::vector<UINT> Of(HWND window, const std::vector<UINT>& wanted = {}) {
        std::vector<UINT> found;
        for (const auto& entry : Entries()) {
            if (window != nullptr && entry.window != window) continue;
            if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), entry.message) == wanted.end()) continue;
            found.push_back(entry.message);
        }
        return found;
    }

private:
    std::mutex mutex_;
    std::vector<Received> entries_;
};

inline MessageLog& Log() {
    static MessageLog log;
    return log;
}

// Answers that a test wants a recording window to give, by message (WM_CREATE -1 ...).
inline std::vector<std::pair<UINT, LRESULT>>& Answers() {
    static std::vector<std::pair<UINT, LRESULT>> answers;
    return answers;
}

inline LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().Add({window, message, wParam, lParam});
    for (const auto& [answered, result] : Answers())
        if (answered == message) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr const char16_t* kRecorderClass = u"Recorder";

inline void RegisterRecorder() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProcedure;
    windowClass.cbWndExtra = 4;
    windowClass.lpszClassName = kRecorderClass;
    RegisterClassW(&windowClass);  // fails harmlessly when a test registered it already
}

inline HWND MakeWindow(const char16_t* title, DWORD style = WS_VISIBLE, HWND parent = nullptr, int id = 0) {
    return CreateWindowExW(0, kRecorderClass, title, style, 0, 0, 100, 50, parent,
                           reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), nullptr, nullptr);
}

// Removes every message waiting for the calling thread (WM_QUIT too).
inline void DrainQueue() {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_PAINT) ValidateRect(message.hwnd, nullptr);
    }
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecorder();
        Log().Clear();
        Answers().clear();
    }
    void TearDown() override {
        Answers().clear();
        for (HWND window : made_)
            if (IsWindow(window)) DestroyWindow(window);
        DrainQueue();
        platform::clock::UseRealClock();
        Log().Clear();
    }
    HWND Make(const char16_t* title, DWORD style = WS_VISIBLE, HWND parent = nullptr, int id = 0) {
        HWND window = MakeWindow(title, style, parent, id);
        made_.push_back(window);
        return window;
    }

    handset_test::TempHandsetRoot root_;
    std::vector<HWND> made_;
};

}  // namespace window_test
