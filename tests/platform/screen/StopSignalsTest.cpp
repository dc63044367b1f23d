// SIGTERM and SIGINT: the first becomes WM_CLOSE to the program's top window at the next
// pump; a second one, or one while the process has no window, ends the process as the
// signal does. Each case runs in a child process, so that this one keeps its handlers.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "platform/screen/StopSignals.h"
#include "tests/platform/screen/ScreenTestSupport.h"

namespace {

using screen_test::Log;
using screen_test::PumpAll;
using screen_test::ScreenTest;

TEST_F(ScreenTest, AStopSignalClosesTheTopWindowAndASecondOneEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(number);
        // _exit: the child's windows are not worth a leak report.
        EXPECT_EXIT(
            {
                platform::screen::InstallStopSignals();
                HWND main = Make(u"Main", 0, 0, 480, 800);
                raise(number);
                PumpAll();
                for (const auto& received : Log())
                    if (received.window == main && received.message == WM_CLOSE) _exit(IsWindow(main) ? 4 : 3);
                _exit(5);
            },
            testing::ExitedWithCode(3), "");
        EXPECT_EXIT(
            {
                platform::screen::InstallStopSignals();
                Make(u"Main", 0, 0, 480, 800);
                raise(number);
                raise(number);
                _exit(5);
            },
            testing::KilledBySignal(number), "");
        EXPECT_EXIT(
            {
                platform::screen::InstallStopSignals();
                raise(number);
                PumpAll();
                _exit(5);
            },
            testing::KilledBySignal(number), "");
    }
}

}  // namespace
