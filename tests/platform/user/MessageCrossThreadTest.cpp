// Messages between threads of one process: sends delivered by the receiver's loop, two
// threads sending to each other, time-outs, a thread that ended, and a message box answered
// from another thread or ended by a quit.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/base/Errors.h"
#include "platform/sync/Thread.h"
#include "tests/platform/user/WindowTestSupport.h"

namespace {

using window_test::WindowTest;

constexpr UINT kWhoAreYou = WM_APP + 1;
constexpr UINT kAskBack = WM_APP + 2;
constexpr UINT kStop = WM_APP + 3;

// A thread that owns one window and runs its message loop until kStop.
class LoopThread {
public:
    explicit LoopThread(WNDPROC procedure) {
        std::promise<HWND> made;
        auto ready = made.get_future();
        thread_ = std::thread([this, procedure, &made] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = procedure;
            windowClass.lpszClassName = u"LoopThreadWindow";
            RegisterClassW(&windowClass);
            HWND window = CreateWindowExW(0, u"LoopThreadWindow", u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                          nullptr, nullptr);
            threadId_ = GetCurrentThreadId();
            made.set_value(window);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (message.message == kStop) break;
                DispatchMessageW(&message);
            }
            DestroyWindow(window);
        });
        window_ = ready.get();
    }
    ~LoopThread() {
        PostMessageW(window_, kStop, 0, 0);
        thread_.join();
    }
    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }

private:
    std::thread thread_;
    HWND window_ = nullptr;
    std::atomic<DWORD> threadId_{0};
};

std::atomic<HWND> partner{nullptr};

LRESULT AnsweringProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWhoAreYou) return static_cast<LRESULT>(GetCurrentThreadId()) + static_cast<LRESULT>(wParam);
    // Sends back to the partner while its own sender waits for this answer.
    if (message == kAskBack) return SendMessageW(partner.load(), kWhoAreYou, 0, 0) + 1;
    if (message == WM_COPYDATA) {
        auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        return static_cast<LRESULT>(data->dwData + data->cbData);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WindowTest, SendToAnotherThreadRunsThereAndAnswers) {
    LoopThread worker(AnsweringProcedure);
    EXPECT_EQ(SendMessageW(worker.Window(), kWhoAreYou, 5, 0), static_cast<LRESULT>(worker.ThreadId()) + 5);
    char bytes[10] = {};
    COPYDATASTRUCT data{100, sizeof(bytes), bytes};
    EXPECT_EQ(SendMessageW(worker.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 110);
    EXPECT_EQ(GetWindowThreadProcessId(worker.Window(), nullptr), worker.ThreadId());
}

TEST_F(WindowTest, ThreadsSendingToEachOtherDoNotDeadlock) {
    LoopThread first(AnsweringProcedure);
    LoopThread second(AnsweringProcedure);
    // Each answers kAskBack by sending to its partner, which is busy sending to it.
    partner = second.Window();
    LRESULT viaFirst = 0;
    std::thread asker([&] { viaFirst = SendMessageW(first.Window(), kAskBack, 0, 0); });
    asker.join();
    EXPECT_EQ(viaFirst, static_cast<LRESULT>(second.ThreadId()) + 1);

    // The main thread's own window answers while the main thread waits.
    HWND mine = CreateWindowExW(0, u"LoopThreadWindow", u"Main", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                nullptr);
    made_.push_back(mine);
    partner = mine;
    EXPECT_EQ(SendMessageW(first.Window(), kAskBack, 0, 0), static_cast<LRESULT>(GetCurrentThreadId()) + 1);
    partner = nullptr;
}

TEST_F(WindowTest, SendGivesUpAfterItsTimeoutAndOnAnEndedThread) {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> release{false};
    std::thread sleeper([&] {
        window = window_test::MakeWindow(u"Sleeper", 0);
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Ends without serving the queued send.
    });
    while (window.load() == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    DWORD_PTR result = 1;
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 50, &result), 0);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_EQ(result, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

    // A send that waits while the thread ends is answered as not delivered.
    std::thread ender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        release = true;
    });
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    ender.join();
    sleeper.join();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowTest, MessageBoxIsAnsweredFromAnotherThread) {
    HWND owner = Make(u"Owner");
    struct Case {
        UINT type;
        UINT message;
        WPARAM wParam;
        int answer;
    };
    const Case cases[] = {
        {MB_OKCANCEL, WM_COMMAND, IDOK, IDOK},
        {MB_OKCANCEL, WM_CLOSE, 0, IDCANCEL},
        {MB_YESNO, WM_COMMAND, IDYES, IDYES},
        {MB_YESNO, WM_CLOSE, 0, IDNO},
        {MB_OK, WM_COMMAND, IDCANCEL, IDOK},
    };
    for (const Case& c : cases) {
        std::u16string seenText;
        std::thread closer([&] {
            HWND box = nullptr;
            for (int i = 0; i < 5000 && box == nullptr; ++i) {
                box = FindWindowW(u"Dialog", u"Question");
                if (box == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (box == nullptr) return;
            WCHAR text[64] = {};
            GetWindowTextW(GetWindow(box, GW_CHILD), text, 64);
            seenText = text;
            SendMessageW(box, c.message, c.wParam, 0);
        });
        EXPECT_EQ(MessageBoxW(owner, u"Really?", u"Question", c.type), c.answer);
        closer.join();
        EXPECT_EQ(seenText, u"Really?");
        EXPECT_EQ(FindWindowW(u"Dialog", u"Question"), nullptr);
    }
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(WindowTest, QuitMetByAMessageBoxEndsItAndReachesTheCallersLoop) {
    HWND owner = Make(u"Owner");
    DWORD caller = GetCurrentThreadId();
    std::thread quitter([&] {
        for (int i = 0; i < 5000 && FindWindowW(u"Dialog", u"Leaving") == nullptr; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        PostThreadMessageW(caller, WM_QUIT, 7, 0);
    });
    EXPECT_EQ(MessageBoxW(owner, u"Save?", u"Leaving", MB_YESNO), IDNO);
    quitter.join();
    EXPECT_EQ(FindWindowW(u"Dialog", u"Leaving"), nullptr);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT) {
    }
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
