// main() of every handset program: sets up the handset side (root, clock, stop signals,
// screen) and calls WinMain.
#include <cstdio>
#include <string>

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/base/HandsetRoot.h"
#include "platform/base/Library.h"
#include "platform/device/Accelerometer.h"
#include "platform/device/NotificationLed.h"
#include "platform/fs/ModulePath.h"
#include "platform/main/WinMain.h"
#include "platform/phone/OsServices.h"
#include "platform/screen/Screen.h"
#include "platform/screen/StopSignals.h"
#include "platform/user/KeyboardHook.h"

namespace {

// The handset passes one command line without the program name; arguments with blanks
// are quoted so that a program that splits it gets them back whole.
std::u16string JoinCommandLine(int argc, char** argv) {
    std::u16string line;
    for (int i = 1; i < argc; ++i) {
        std::u16string argument = platform::Utf8ToUtf16(argv[i]);
        if (!line.empty()) line += u' ';
        if (argument.find(u' ') != std::u16string::npos)
            line += u'"' + argument + u'"';
        else
            line += argument;
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    platform::HandsetRoot();
    platform::clock::ConfigureFromEnvironment();
    platform::SetProgramHandsetPath(HandsetProgramPath());
    // The handset's built-in drivers and libraries are there for every program.
    platform::device::RegisterNotificationLedDriver();
    platform::device::RegisterHandsetDrivers();
    platform::phone::RegisterOsServicesStandIn();
    platform::RegisterCoreLibraryStandIn();
    // Before the screen starts: SDL keeps handlers that are already there.
    platform::screen::InstallStopSignals();
    std::string error;
    if (!platform::screen::StartFromEnvironment(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::u16string commandLine = JoinCommandLine(argc, argv);
    int exitCode = WinMain(platform::ProgramModule(), nullptr, commandLine.data(), SW_SHOWNORMAL);
    platform::screen::Stop();
    return exitCode;
}
