// Entry of a test build of the game program: the real start-up and shutdown with the test
// game module in place of the game's. After the program's end it prints the exception list
// of the run, so that a test can read what start-up reported.
#include <cstdio>

#include "engine/app/Startup.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/object/Module.h"
#include "engine/render/RenderModule.h"
#include "engine/sound/SoundModule.h"
#include "platform/main/WinMain.h"
#include "tests/integration/testgame/TestGame.h"

LPCWSTR HandsetProgramPath() { return u"\\Program Files\\Quorvane\\Quorvane.exe"; }

namespace {

void RegisterModules() {
    RegisterRenderModule();
    RegisterSoundModule();
    RegisterModule("TestGame", kTestGameModule);
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    const int exitCode = ProgramEntry(instance, &RegisterModules);
    for (int index = 0; index < ExceptionCount(); ++index) std::printf("exception: %s\n", ExceptionAt(index)->message);
    std::fflush(stdout);
    return exitCode;
}
