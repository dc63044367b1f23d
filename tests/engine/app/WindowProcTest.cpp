// Tests of the main window's procedure with real messages through the frame driver's pump:
// key states across frames, the arrow keys turned by the screen angle, pen and swipe
// events, the quit hot keys, focus and pause events, and the quit flag's hand-off.
#include <bit>

#include "engine/app/GameKeys.h"
#include "platform/shell/Shell.h"
#include "platform/user/HotKey.h"
#include "tests/engine/support/StartupTestSupport.h"

namespace startup_test {
namespace {

class WindowProcTest : public GameWindowTest {
protected:
    // A key as the handset delivers it: hot keys first, else a key message to the focus.
    void Key(UINT virtualKey, bool down) { ASSERT_TRUE(platform::InjectKey(virtualKey, down)); }
    void Post(UINT message, WPARAM wParam, LPARAM lParam) { ASSERT_TRUE(PostMessageW(window_, message, wParam, lParam)); }
};

TEST_F(WindowProcTest, KeyStatesFollowTheFrames) {
    // Pressed and released within one frame: seen as pressed, then released, then up.
    Key('A', true);
    Key('A', false);
    Frame();
    EXPECT_EQ(GetKeyState('A'), kKeyPressed);
    Frame();
    EXPECT_EQ(GetKeyState('A'), kKeyReleased);
    Frame();
    EXPECT_EQ(GetKeyState('A'), kKeyUp);

    // Held for three frames.
    Key('B', true);
    std::vector<int> held;
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        held.push_back(GetKeyState('B'));
    }
    EXPECT_EQ(held, (std::vector<int>{kKeyPressed, kKeyHeld, kKeyHeld}));

    // A key-up for a key that is up still reads pressed for one frame.
    Post(WM_KEYUP, '7', 0);
    std::vector<int> upOnly;
    for (int frame = 0; frame < 3; ++frame) {
        Frame();
        upOnly.push_back(GetKeyState('7'));
    }
    EXPECT_EQ(upOnly, (std::vector<int>{kKeyPressed, kKeyReleased, kKeyUp}));
    EXPECT_EQ(GetKeyState(300), kKeyUp);
    EXPECT_EQ(GetKeyState(-1), kKeyUp);

    // Every key message reached the game as key events (6 down, 5 up) with the key.
    const auto downs = EventsOf(kGameEventKeyDown);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].a, 'A');
    EXPECT_EQ(downs[0].b, 1);
    EXPECT_EQ(downs[1].a, 'B');
    const auto ups = EventsOf(kGameEventKeyUp);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[1].a, '7');
    EXPECT_EQ(ups[1].b, 0);
}

TEST_F(WindowProcTest, ArrowsTurnWithTheScreenAngle) {
    struct ArrowCase {
        DWORD angle;
        UINT key;
        std::int32_t gameKey;
    };
    const ArrowCase cases[] = {
        {0, VK_UP, 143},  {0, VK_RIGHT, 142},  {0, VK_DOWN, 144},  {0, VK_LEFT, 141},
        {90, VK_UP, 141}, {90, VK_RIGHT, 143}, {90, VK_DOWN, 142}, {90, VK_LEFT, 144},
    };
    for (const ArrowCase& entry : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << entry.angle << ", key " << entry.key);
        SetScreenAngle(entry.angle);
        RecordedEvents().clear();
        Key(entry.key, true);
        Frame();
        Key(entry.key, false);
        Frame();
        const auto downs = EventsOf(kGameEventKeyDown);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].a, entry.gameKey);
        EXPECT_EQ(GetKeyState(entry.gameKey), kKeyReleased);
    }
}

TEST_F(WindowProcTest, KeyTranslationTable) {
    struct KeyCase {
        UINT key;
        bool extended;
        std::int32_t gameKey;
    };
    const KeyCase cases[] = {
        {VK_F6, false, 234}, {VK_F7, true, 235},    {'Q', false, 'Q'},     {'Q', true, 0},
        {'5', false, '5'},   {VK_TAB, false, 9},    {VK_TAB, true, 0},     {VK_ACTION, false, 10},
        {VK_SPACE, false, 32}, {VK_APP2, false, 216}, {VK_APP3, false, 217}, {VK_RETURN, false, 0},
        {VK_ESCAPE, false, 27}, {VK_SHIFT, false, 130}, {VK_LSHIFT, false, 130}, {VK_RSHIFT, false, 131},
        {VK_F12, false, 0},
        // The handset's function keys F1 to F11 share their codes with the letters a to z.
        {VK_F1, false, 'p'},
    };
    for (const KeyCase& entry : cases) {
        SCOPED_TRACE(testing::Message() << "key " << entry.key);
        EXPECT_EQ(TranslateGameKey(entry.key, entry.extended, 0), entry.gameKey);
    }
    // A key the game does not take goes on to the default procedure and changes nothing.
    Post(WM_KEYDOWN, VK_RETURN, 0);
    Post(WM_KEYDOWN, VK_TAB, LPARAM{1} << 24);
    Frame();
    EXPECT_TRUE(RecordedEvents().empty());
    EXPECT_FALSE(HasInputEvent());
}

TEST_F(WindowProcTest, PenEventsQueueInputAndDriveKey200) {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40));
    Post(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 45));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(36, -2));
    Frame();

    const std::vector<std::pair<DWORD, LPARAM>> expected = {
        {kGameEventPenDown, MAKELPARAM(30, 40)}, {kGameEventPenMove, MAKELPARAM(35, 45)}, {kGameEventPenUp, MAKELPARAM(36, -2)}};
    ASSERT_EQ(RecordedEvents().size(), expected.size()) << "the pen sends no key events";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(RecordedEvents()[i].event, expected[i].first);
        EXPECT_EQ(RecordedEvents()[i].a, expected[i].second);
    }
    EXPECT_EQ(GetKeyState(kPenKey), kKeyPressed);

    const std::vector<std::vector<std::int32_t>> queued = {
        {kInputPointerPosition, 30, 40}, {kInputPointerDown, 0, 0}, {kInputKeyDown, kPenKey, 1},
        {kInputPointerPosition, 35, 45}, {kInputPointerPosition, 36, -2}, {kInputPointerUp, 0, 0},
        {kInputKeyUp, kPenKey, 0}};
    for (const auto& entry : queued) {
        const InputEvent* event = PopInputEvent();
        ASSERT_NE(event, nullptr);
        EXPECT_EQ((std::vector<std::int32_t>{event->kind, event->a, event->b}), entry);
        EXPECT_EQ(event->reserved, -1);
    }
    EXPECT_EQ(PopInputEvent(), nullptr);
}

TEST_F(WindowProcTest, RightButtonDragsSwipeByTheSignOfTheMove) {
    Post(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 10));
    Post(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(130, 12));
    Post(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(130, 50));
    Post(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(95, 50));
    Post(WM_RBUTTONUP, 0, MAKELPARAM(95, 50));
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(10, 50));
    Frame();
    ASSERT_EQ(RecordedEvents().size(), 2u);
    EXPECT_EQ(RecordedEvents()[0].event, kGameEventSwipeRight);
    EXPECT_EQ(std::bit_cast<float>(static_cast<std::uint32_t>(RecordedEvents()[0].b)), 30.0f);
    EXPECT_EQ(RecordedEvents()[1].event, kGameEventSwipeLeft);
    EXPECT_EQ(std::bit_cast<float>(static_cast<std::uint32_t>(RecordedEvents()[1].b)), 35.0f);
    EXPECT_EQ(RecordedEvents()[1].a, MAKELPARAM(95, 50));
}

TEST_F(WindowProcTest, EscapeAndShiftAreTheGamesKeys) {
    // Esc is for the game to read (back, cancel, the in-game menu); it ends nothing.
    Key(VK_ESCAPE, true);
    Key(VK_SHIFT, true);
    Frame();
    EXPECT_FALSE(IsQuitRequested());
    EXPECT_EQ(GetKeyState(kGameKeyEscape), kKeyPressed);
    EXPECT_EQ(GetKeyState(kGameKeyShiftLeft), kKeyPressed);
    const auto downs = EventsOf(kGameEventKeyDown);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].a, kGameKeyEscape);
    EXPECT_EQ(downs[1].a, kGameKeyShiftLeft);
    Key(VK_ESCAPE, false);
    Frame();
    EXPECT_EQ(GetKeyState(kGameKeyEscape), kKeyReleased);
    EXPECT_EQ(GetKeyState(kGameKeyShiftLeft), kKeyHeld);
    Key(VK_SHIFT, false);
}

TEST_F(WindowProcTest, ControlQEndsTheGameAndLaterMessagesArePassedOn) {
    EXPECT_TRUE(IsBacklightRequested());
    Key(VK_CONTROL, true);
    Key('Q', true);
    Frame();
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_FALSE(IsBacklightRequested());
    // Ctrl+Q was a hot key: the game never saw Q as a key.
    EXPECT_TRUE(EventsOf(kGameEventKeyDown).empty());
    Key('Q', false);
    Key(VK_CONTROL, false);
    Key('A', true);
    Frame();
    EXPECT_TRUE(EventsOf(kGameEventKeyDown).empty());
    EXPECT_EQ(GetKeyState('A'), kKeyUp);
}

TEST_F(WindowProcTest, QAloneIsAKeyNotAQuit) {
    Key('Q', true);
    Frame();
    EXPECT_FALSE(IsQuitRequested());
    EXPECT_EQ(GetKeyState('Q'), kKeyPressed);
}

TEST_F(WindowProcTest, TheWindowsKeyGivesTheHandsetBackToTheDesktop) {
    WNDCLASSW desktopClass{};
    desktopClass.lpfnWndProc = DefWindowProcW;
    desktopClass.lpszClassName = u"DesktopExplorerWindow";
    RegisterClassW(&desktopClass);
    HWND desktop = CreateWindowExW(0, u"DesktopExplorerWindow", u"Desktop", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
    ASSERT_NE(desktop, nullptr);
    EXPECT_TRUE(platform::shell::FullScreenOf(window_).taskBarHidden);
    Key(VK_LWIN, true);
    Key(VK_LWIN, false);
    Frame();
    EXPECT_FALSE(IsQuitRequested()) << "no hopper.exe runs";
    EXPECT_FALSE(IsWindowVisible(window_)) << "minimised";
    EXPECT_FALSE(platform::shell::FullScreenOf(window_).taskBarHidden);
    EXPECT_EQ(GetForegroundWindow(), desktop);
    // The hot keys are off while the game is away.
    Key(VK_CONTROL, true);
    Key('Q', true);
    Key('Q', false);
    Key(VK_CONTROL, false);
    Frame();
    EXPECT_FALSE(IsQuitRequested());
    DestroyWindow(desktop);
    UnregisterClassW(u"DesktopExplorerWindow", nullptr);
}

TEST_F(WindowProcTest, DestroyingTheWindowEndsTheGame) {
    Post(WM_CLOSE, 0, 0);
    Frame();
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(IsQuitRequested());
}

TEST_F(WindowProcTest, FocusAndPauseReachTheGame) {
    Post(WM_CANCELMODE, 0, 0);
    Post(WM_CANCELMODE, 0, 0);
    Frame();
    ASSERT_EQ(RecordedEvents().size(), 2u);
    EXPECT_EQ(RecordedEvents()[0].event, kGameEventPause);
    EXPECT_EQ(RecordedEvents()[1].event, kGameEventResume);

    // Another window takes the focus: the game hears it, hot keys are off, keys stop stepping.
    RecordedEvents().clear();
    Key('C', true);
    Frame();
    WNDCLASSW otherClass{};
    otherClass.lpfnWndProc = DefWindowProcW;
    otherClass.lpszClassName = u"OtherWindow";
    RegisterClassW(&otherClass);
    HWND other = CreateWindowExW(0, u"OtherWindow", u"Other", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetFocus(other);
    Frame();
    EXPECT_FALSE(MainWindowInfo().active);
    EXPECT_FALSE(EventsOf(kGameEventFocusLost).empty());
    EXPECT_FALSE(IsBacklightRequested());
    Frame();
    EXPECT_EQ(GetKeyState('C'), kKeyPressed) << "the key table rests while the window has no focus";

    SetForegroundWindow(window_);
    Frame();
    EXPECT_TRUE(MainWindowInfo().active);
    EXPECT_FALSE(EventsOf(kGameEventFocusGained).empty());
    EXPECT_FALSE(EventsOf(kGameEventActivated).empty());
    EXPECT_TRUE(IsBacklightRequested());
    DestroyWindow(other);
    UnregisterClassW(u"OtherWindow", nullptr);
}

}  // namespace
}  // namespace startup_test
