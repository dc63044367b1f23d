// Playing HANDSET_SCRIPT into windows from the message pump, on a manual clock.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/screen/Tilt.h"
#include "tests/platform/screen/ScreenTestSupport.h"

namespace {

using platform::screen::ScreenSettings;
using screen_test::InputOf;
using screen_test::PumpAll;
using screen_test::ScreenTest;

constexpr DWORD kStart = 1000;

class ScriptPlaybackTest : public ScreenTest {
protected:
    void StartScript(const std::string& text) {
        platform::clock::UseManualClock(kStart, 0);
        ScreenSettings settings;
        settings.scriptPath = WriteScript(text);
        std::string error;
        ASSERT_TRUE(platform::screen::Start(settings, error)) << error;
    }
    void AdvanceAndPump(DWORD milliseconds) {
        platform::clock::Advance(milliseconds);
        PumpAll();
    }
};

TEST_F(ScriptPlaybackTest, EventsReachTheFocusWindowWhenTheirTimeComes) {
    HWND window = Make(u"Game", 0, 0, 480, 800);
    ASSERT_EQ(GetFocus(), window);
    StartScript("at 0 key down A\nat 100 key up A\nat 250 tap 10 20\nat 300 key press RETURN\n");

    PumpAll();
    auto input = InputOf(window);
    ASSERT_EQ(input.size(), 1u);
    EXPECT_EQ(input[0].message, WM_KEYDOWN);
    EXPECT_EQ(input[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(input[0].tick, kStart);

    AdvanceAndPump(99);
    EXPECT_EQ(InputOf(window).size(), 1u);
    AdvanceAndPump(1);
    input = InputOf(window);
    ASSERT_EQ(input.size(), 2u);
    EXPECT_EQ(input[1].message, WM_KEYUP);
    EXPECT_EQ(input[1].tick, kStart + 100);

    AdvanceAndPump(200);  // both the tap and the press are due now
    input = InputOf(window);
    ASSERT_EQ(input.size(), 6u);
    EXPECT_EQ(input[2].message, WM_LBUTTONDOWN);
    EXPECT_EQ(input[2].wParam, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(input[2].lParam), 10);
    EXPECT_EQ(GET_Y_LPARAM(input[2].lParam), 20);
    EXPECT_EQ(input[3].message, WM_LBUTTONUP);
    EXPECT_EQ(input[4].message, WM_KEYDOWN);
    EXPECT_EQ(input[4].wParam, VK_RETURN);
    EXPECT_EQ(input[5].message, WM_KEYUP);
    EXPECT_TRUE(platform::screen::ScriptFinished());
}

TEST_F(ScriptPlaybackTest, HotKeysTiltAndCloseComeFromTheScript) {
    HWND window = Make(u"Game", 0, 0, 480, 800);
    ASSERT_TRUE(RegisterHotKey(window, 81, MOD_CONTROL, 'Q'));
    std::uint64_t tiltChanges = platform::screen::Tilt().changes;
    StartScript(
        "at 0 key down CONTROL\n"
        "at 0 key press Q\n"
        "at 0 key up CONTROL\n"
        "at 10 tilt 0.25 -0.5 -1\n"
        "at 20 close\n");
    AdvanceAndPump(20);
    auto input = InputOf(window);
    std::vector<UINT> messages;
    for (const auto& entry : input) messages.push_back(entry.message);
    // Control down, the hot key in place of Q's key-down, Q up, Control up, the close.
    EXPECT_EQ(messages, (std::vector<UINT>{WM_KEYDOWN, WM_HOTKEY, WM_KEYUP, WM_KEYUP, WM_CLOSE}));
    EXPECT_EQ(input[1].wParam, 81u);
    platform::screen::TiltReading tilt = platform::screen::Tilt();
    EXPECT_EQ(tilt.changes, tiltChanges + 1);
    EXPECT_FLOAT_EQ(tilt.x, 0.25f);
    EXPECT_FLOAT_EQ(tilt.y, -0.5f);
    EXPECT_FLOAT_EQ(tilt.z, -1.0f);
    EXPECT_FALSE(IsWindow(window));  // WM_CLOSE reached DefWindowProcW
}

TEST_F(ScriptPlaybackTest, ScreenshotsAreWrittenRelativeToTheCurrentFolder) {
    auto former = std::filesystem::current_path();
    std::filesystem::current_path(root_.Path());
    StartScript("at 5 screenshot shot one.png\nat 6 screenshot missing/folder.png\n");
    std::filesystem::current_path(former);  // the path was fixed when the script was loaded
    testing::internal::CaptureStderr();
    AdvanceAndPump(10);
    std::string reported = testing::internal::GetCapturedStderr();
    platform::screen::Image image;
    ASSERT_TRUE(screen_test::ReadPng(root_.Path() + "/shot one.png", image));
    EXPECT_EQ(image.width, 480);
    EXPECT_EQ(image.height, 800);
    EXPECT_NE(reported.find("script.txt:2: Cannot write " + root_.Path() + "/missing/folder.png"), std::string::npos)
        << reported;
}

TEST_F(ScriptPlaybackTest, OnlyTheScreensThreadPlaysTheScript) {
    HWND window = Make(u"Game", 0, 0, 480, 800);
    StartScript("at 0 key press A\n");
    std::thread other([] {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
    });
    other.join();
    EXPECT_FALSE(platform::screen::ScriptFinished());
    PumpAll();
    EXPECT_TRUE(platform::screen::ScriptFinished());
    EXPECT_EQ(InputOf(window).size(), 2u);
}

TEST_F(ScreenTest, StartRefusesABadScriptNamingTheLine) {
    ScreenSettings settings;
    settings.scriptPath = WriteScript("at 0 close\nat 10 jump\n");
    std::string error;
    EXPECT_FALSE(platform::screen::Start(settings, error));
    EXPECT_EQ(error, settings.scriptPath + ":2: unknown command 'jump'.");
    EXPECT_FALSE(platform::screen::IsStarted());

    settings.scriptPath = root_.Path() + "/absent.txt";
    EXPECT_FALSE(platform::screen::Start(settings, error));
    EXPECT_EQ(error, "The script " + settings.scriptPath + " cannot be opened.");

    settings.scriptPath = root_.Path();
    EXPECT_FALSE(platform::screen::Start(settings, error));
    EXPECT_NE(error.find(root_.Path()), std::string::npos) << error;
}

}  // namespace
