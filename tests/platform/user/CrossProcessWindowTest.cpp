// Windows of other processes, with real child processes: finding them, sending and posting
// to them (WM_COPYDATA with its payload), the foreground across processes, a process that
// died, peers that connect and stall, and programs started with CreateProcessW.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/HandsetRoot.h"
#include "platform/process/Process.h"
#include "platform/sync/Wait.h"
#include "tests/platform/user/WindowTestSupport.h"

namespace {

using window_test::WindowTest;

constexpr const char16_t* kServerClass = u"CrossProcessServer";
constexpr UINT kDouble = WM_APP + 1;        // answers 2 * wParam + 1
constexpr UINT kRemember = WM_APP + 2;      // posted: adds wParam + lParam to the exit code
constexpr UINT kIsActive = WM_APP + 4;      // answers 1 while the window is active with the focus
constexpr UINT kAskParent = WM_APP + 5;     // sends kParentAnswer to the window in wParam, adds 1
constexpr UINT kParentAnswer = WM_APP + 6;  // the parent's window answers 41
constexpr UINT kEndAtOnce = WM_APP + 7;     // posted: the process ends with code 7 there and then

// The payload a test sends: bytes that a cut or shifted copy would not reproduce.
std::vector<std::uint8_t> Payload() {
    std::vector<std::uint8_t> bytes(70000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 131 + 7) % 251);
    return bytes;
}

LRESULT Checksum(const std::uint8_t* bytes, std::size_t size) {
    LRESULT sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum = (sum * 31 + bytes[i]) % 1000003;
    return sum;
}

int remembered = 0;

LRESULT ServerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kDouble: return static_cast<LRESULT>(2 * wParam + 1);
        case kRemember: remembered += static_cast<int>(wParam + lParam); return 0;
        case kIsActive: return GetActiveWindow() == window && GetFocus() == window ? 1 : 0;
        case kAskParent: return SendMessageW(reinterpret_cast<HWND>(wParam), kParentAnswer, 0, 0) + 1;
        case kEndAtOnce: _exit(7);
        case WM_COPYDATA: {
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
            auto expected = Payload();
            if (data->cbData != expected.size() || data->dwData != 77) return -1;
            if (std::memcmp(data->lpData, expected.data(), expected.size()) != 0) return -2;
            return Checksum(static_cast<const std::uint8_t*>(data->lpData), data->cbData);
        }
        case WM_DESTROY: PostQuitMessage(remembered); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Child role: shows a window titled after its argument and serves it until it is closed;
// the exit code is what kRemember collected.
TEST(CrossProcessWindow, ServeWindow) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process only";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ServerProcedure;
    windowClass.lpszClassName = kServerClass;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    std::u16string title = platform::Utf8ToUtf16(handset_test::ChildArgument("title"));
    HWND window = CreateWindowExW(0, kServerClass, title.c_str(), WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::exit(static_cast<int>(message.wParam));
}

HWND WaitForWindow(const char16_t* className, const char16_t* title) {
    for (int i = 0; i < 5000; ++i) {
        if (HWND found = FindWindowW(className, title)) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return nullptr;
}

LRESULT ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kParentAnswer) return 41;
    return window_test::RecordingProcedure(window, message, wParam, lParam);
}

TEST_F(WindowTest, AnotherProcessWindowIsFoundSentToAndPostedTo) {
    int child = handset_test::StartChild("CrossProcessWindow.ServeWindow", {{"title", "Server One"}});
    ASSERT_GT(child, 0);
    HWND server = WaitForWindow(kServerClass, u"Server One");
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(FindWindowW(u"crossprocessserver", nullptr), server);
    EXPECT_EQ(FindWindowW(nullptr, u"Server One"), server);
    DWORD processId = 0;
    EXPECT_NE(GetWindowThreadProcessId(server, &processId), 0u);
    EXPECT_EQ(processId, static_cast<DWORD>(child));
    WCHAR text[32];
    EXPECT_EQ(GetWindowTextW(server, text, 32), 10);
    EXPECT_EQ(GetClassNameW(server, text, 32), 18);
    EXPECT_TRUE(IsWindow(server));

    // Sends return the other procedure's result; the answer also means that the other
    // process is in its loop, past showing the window.
    EXPECT_EQ(SendMessageW(server, kDouble, 20, 0), 41);
    EXPECT_TRUE(IsWindowVisible(server));
    auto payload = Payload();
    COPYDATASTRUCT data{77, static_cast<DWORD>(payload.size()), payload.data()};
    EXPECT_EQ(SendMessageW(server, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)),
              Checksum(payload.data(), payload.size()));
    // Pointers other than WM_COPYDATA's cannot travel.
    EXPECT_EQ(SendMessageW(server, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"x")), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    // The other process sends back to this one while this one waits for its answer.
    WNDCLASSW parentClass{};
    parentClass.lpfnWndProc = ParentProcedure;
    parentClass.lpszClassName = u"ParentWindow";
    RegisterClassW(&parentClass);
    HWND mine = CreateWindowExW(0, u"ParentWindow", u"Parent", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr);
    made_.push_back(mine);
    EXPECT_EQ(SendMessageW(server, kAskParent, reinterpret_cast<WPARAM>(mine), 0), 42);

    // Posted messages arrive in order and are delivered by the other loop.
    EXPECT_TRUE(PostMessageW(server, kRemember, 5, 6));
    EXPECT_TRUE(PostMessageW(server, kRemember, 10, 2));
    EXPECT_TRUE(PostMessageW(server, WM_CLOSE, 0, 0));
    EXPECT_EQ(handset_test::WaitChild(child), 23);
    EXPECT_EQ(FindWindowW(kServerClass, nullptr), nullptr);
}

TEST_F(WindowTest, ForegroundMovesBetweenProcesses) {
    int child = handset_test::StartChild("CrossProcessWindow.ServeWindow", {{"title", "Server Two"}});
    HWND server = WaitForWindow(kServerClass, u"Server Two");
    ASSERT_NE(server, nullptr);
    for (int i = 0; i < 5000 && GetForegroundWindow() != server; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(GetForegroundWindow(), server);

    HWND mine = Make(u"Mine");
    EXPECT_EQ(GetForegroundWindow(), mine);
    EXPECT_EQ(SendMessageW(server, kIsActive, 0, 0), 0);

    window_test::Log().Clear();
    ASSERT_TRUE(SetForegroundWindow(server));
    EXPECT_EQ(GetForegroundWindow(), server);
    LRESULT active = 0;
    for (int i = 0; i < 5000 && active == 0; ++i) {
        active = SendMessageW(server, kIsActive, 0, 0);
        if (active == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(active, 1);
    EXPECT_EQ(window_test::Log().Of(mine, {WM_ACTIVATE, WM_KILLFOCUS}),
              (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS}));
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), server);

    PostMessageW(server, WM_CLOSE, 0, 0);
    EXPECT_EQ(handset_test::WaitChild(child), 0);
}

TEST_F(WindowTest, WindowOfADeadProcessFailsCleanly) {
    int child = handset_test::StartChild("CrossProcessWindow.ServeWindow", {{"title", "Server Three"}});
    HWND server = WaitForWindow(kServerClass, u"Server Three");
    ASSERT_NE(server, nullptr);
    kill(child, SIGKILL);
    handset_test::WaitChild(child);

    SetLastError(0);
    EXPECT_EQ(SendMessageW(server, kDouble, 1, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PostMessageW(server, kRemember, 1, 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(IsWindow(server));
    EXPECT_EQ(FindWindowW(kServerClass, nullptr), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

// A process may end as soon as its window takes a posted message: the sender still learns
// that the message was delivered.
TEST_F(WindowTest, PostThatEndsTheOtherProcessIsReportedDelivered) {
    int child = handset_test::StartChild("CrossProcessWindow.ServeWindow", {{"title", "Server Six"}});
    HWND server = WaitForWindow(kServerClass, u"Server Six");
    ASSERT_NE(server, nullptr);
    ASSERT_EQ(SendMessageW(server, kDouble, 1, 0), 3);  // the server is in its loop
    EXPECT_TRUE(PostMessageW(server, kEndAtOnce, 0, 0));
    EXPECT_EQ(handset_test::WaitChild(child), 7);
}

// A raw connection to the message socket of a process, as a stalled or broken peer makes it.
int ConnectToWindowsOf(int processId) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = "handset-windows-" + std::to_string(processId);
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Peers that connect and send nothing, or half a request, hold up no other sender; a peer
// that sends a broken request is refused at once.
TEST_F(WindowTest, StalledPeersDoNotHoldUpMessagesFromOthers) {
    int child = handset_test::StartChild("CrossProcessWindow.ServeWindow", {{"title", "Server Five"}});
    HWND server = WaitForWindow(kServerClass, u"Server Five");
    ASSERT_NE(server, nullptr);
    ASSERT_EQ(SendMessageW(server, kDouble, 1, 0), 3);  // the server is in its loop

    std::vector<int> stalled;
    for (int i = 0; i < 5; ++i) stalled.push_back(ConnectToWindowsOf(child));
    const std::uint8_t halfHeader[] = {'H', 'W', 'M', 'S', 1, 0};
    stalled.push_back(ConnectToWindowsOf(child));
    ASSERT_EQ(send(stalled.back(), halfHeader, sizeof halfHeader, MSG_NOSIGNAL), 6);
    for (int fd : stalled) ASSERT_GE(fd, 0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMessageW(server, kDouble, 20, 0), 41);
    EXPECT_TRUE(PostMessageW(server, kRemember, 1, 2));
    const int broken = ConnectToWindowsOf(child);
    ASSERT_GE(broken, 0);
    const std::string garbage(40, 'x');
    ASSERT_EQ(send(broken, garbage.data(), garbage.size(), MSG_NOSIGNAL), 40);
    pollfd answered{broken, POLLIN, 0};
    EXPECT_EQ(poll(&answered, 1, 1500), 1) << "a broken request was not refused at once";
    // Each stalled peer used to cost the others 2 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    close(broken);
    for (int fd : stalled) close(fd);

    EXPECT_TRUE(PostMessageW(server, WM_CLOSE, 0, 0));
    EXPECT_EQ(handset_test::WaitChild(child), 3);
}

// Calls that only work on this process's windows refuse a window of another process
// (ERROR_ACCESS_DENIED), and a handle of that process that names no window is no window.
TEST_F(WindowTest, LocalOnlyCallsRefuseAnotherProcessWindow) {
    int child = handset_test::StartChild("CrossProcessWindow.ServeWindow", {{"title", "Server Four"}});
    HWND server = WaitForWindow(kServerClass, u"Server Four");
    ASSERT_NE(server, nullptr);
    // The window is listed before its creation ends; the answer means it has been shown.
    ASSERT_EQ(SendMessageW(server, kDouble, 1, 0), 3);
    HWND none = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(server) ^ 0x100);
    RECT rect{};
    const std::pair<const char*, std::function<BOOL(HWND)>> calls[] = {
        {"SetWindowLongW", [](HWND window) { return SetWindowLongW(window, GWL_USERDATA, 1) != 0; }},
        {"SetWindowTextW", [](HWND window) { return SetWindowTextW(window, u"x"); }},
        {"DestroyWindow", [](HWND window) { return DestroyWindow(window); }},
        {"ShowWindow", [](HWND window) { return ShowWindow(window, SW_HIDE); }},
        {"SetWindowPos", [](HWND window) { return SetWindowPos(window, nullptr, 1, 1, 5, 5, SWP_NOZORDER); }},
        {"GetClientRect", [&](HWND window) { return GetClientRect(window, &rect); }},
        {"GetWindowRect", [&](HWND window) { return GetWindowRect(window, &rect); }},
        {"InvalidateRect", [](HWND window) { return InvalidateRect(window, nullptr, FALSE); }},
        {"ValidateRect", [](HWND window) { return ValidateRect(window, nullptr); }},
        {"GetUpdateRect", [&](HWND window) { return GetUpdateRect(window, &rect, FALSE); }},
        {"UpdateWindow", [](HWND window) { return UpdateWindow(window); }},
        {"RedrawWindow", [](HWND window) { return RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE); }},
    };
    const std::pair<HWND, DWORD> targets[] = {{server, ERROR_ACCESS_DENIED}, {none, ERROR_INVALID_WINDOW_HANDLE}};
    for (const auto& [call, run] : calls) {
        for (const auto& [window, error] : targets) {
            SetLastError(0);
            EXPECT_FALSE(run(window)) << call;
            EXPECT_EQ(GetLastError(), error) << call;
        }
    }
    EXPECT_TRUE(IsWindowVisible(server));
    EXPECT_TRUE(PostMessageW(server, WM_CLOSE, 0, 0));
    EXPECT_EQ(handset_test::WaitChild(child), 0);
}

// Child role for CreateProcessW: checks the arguments it got and exits with its argument.
TEST(CrossProcessWindow, StartedProgram) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process only";
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool quoted = all.find(std::string("two words\0", 10)) != std::string::npos;
    bool escaped = all.find(std::string("say \"hi\"\0", 9)) != std::string::npos;
    bool sameRoot = handset_test::ChildArgument("root") == platform::HandsetRoot();
    if (!quoted || !escaped || !sameRoot) std::exit(3);
    if (handset_test::ChildArgument("linger") == "1") std::this_thread::sleep_for(std::chrono::seconds(30));
    std::exit(23);
}

class ProgramTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        auto folder = std::filesystem::path(root_.Path()) / "fs" / "Program Files" / "Helper";
        std::filesystem::create_directories(folder);
        handset_test::InstallLauncher((folder / "Helper.exe").string(), std::filesystem::read_symlink("/proc/self/exe"));
        setenv("HANDSET_TEST_CHILD", "1", 1);
        setenv("HANDSET_TEST_ARG_root", root_.Path().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("HANDSET_TEST_CHILD");
        unsetenv("HANDSET_TEST_ARG_root");
        unsetenv("HANDSET_TEST_ARG_linger");
        WindowTest::TearDown();
    }
    BOOL Start(PROCESS_INFORMATION& information) {
        std::u16string line = u"--gtest_filter=CrossProcessWindow.StartedProgram \"two words\" \"say \\\"hi\\\"\"";
        return CreateProcessW(u"\\program files\\HELPER\\helper.exe", line.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, nullptr, &information);
    }
};

TEST_F(ProgramTest, StartedProgramEndsWithItsExitCode) {
    PROCESS_INFORMATION information{};
    ASSERT_TRUE(Start(information));
    EXPECT_NE(information.dwProcessId, 0u);
    EXPECT_EQ(WaitForSingleObject(information.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(information.hProcess, &code));
    EXPECT_EQ(code, 23u);
    EXPECT_EQ(WaitForSingleObject(information.hThread, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(information.hThread));
    EXPECT_TRUE(CloseHandle(information.hProcess));
}

TEST_F(ProgramTest, TerminatedProgramReportsTheGivenCode) {
    setenv("HANDSET_TEST_ARG_linger", "1", 1);
    PROCESS_INFORMATION information{};
    ASSERT_TRUE(Start(information));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(information.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(information.hProcess, 10), WAIT_TIMEOUT);
    EXPECT_TRUE(TerminateProcess(information.hProcess, 9));
    EXPECT_EQ(WaitForSingleObject(information.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(information.hProcess, &code));
    EXPECT_EQ(code, 9u);
    CloseHandle(information.hThread);
    CloseHandle(information.hProcess);
}

TEST_F(ProgramTest, MissingProgramIsNotStarted) {
    PROCESS_INFORMATION information{};
    WCHAR line[] = u"";
    EXPECT_FALSE(CreateProcessW(u"\\Program Files\\Nothing\\Nothing.exe", line, nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, nullptr, &information));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &information));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
