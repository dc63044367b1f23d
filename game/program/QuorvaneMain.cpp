// Entry of the game program: the platform's main() calls WinMain, which runs the engine's
// start-up, the game and the shutdown. The program's modules are listed here, where their
// classes are visible, and handed to the start-up.
#include "engine/app/Startup.h"
#include "engine/core/object/Module.h"
#include "engine/overlay/widgets/OverlayLayer.h"
#include "engine/render/RenderModule.h"
#include "engine/sound/SoundModule.h"
#include "game/flow/app/GameModule.h"
#include "game/flow/services/GameServices.h"
#include "game/menu/GameMenus.h"
#include "game/play/WorldPlayWorld.h"
#include "platform/main/WinMain.h"

LPCWSTR HandsetProgramPath() { return u"\\Program Files\\Quorvane\\Quorvane.exe"; }

namespace {

void RegisterModules() {
    RegisterRenderModule();
    RegisterSoundModule();
    RegisterGameModule();
    RegisterOverlayLayer();
    SetMenuPages(&GetGameMenus());
}

}  // namespace

// Play runs on the game world: the flow's world is the real one for the whole run.
int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WorldPlayWorld world;
    SetPlayWorld(&world);
    const int result = ProgramEntry(instance, &RegisterModules);
    SetPlayWorld(nullptr);
    return result;
}
