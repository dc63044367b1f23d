// The services' pointers and the stand-ins behind them.
#include "game/flow/services/GameServices.h"

#include "game/flow/interfaces/HudDrawing.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/interfaces/PlayWorld.h"

namespace {

PlayerProfile* profile = nullptr;
SoundManager* soundManager = nullptr;
IngameController* controller = nullptr;
PlayHud* hud = nullptr;
PlayWorld* world = nullptr;
MenuPages* menus = nullptr;
HudDrawing* hudDrawing = nullptr;
FlowHost* flowHost = nullptr;

}  // namespace

PlayerProfile* GetProfile() { return profile; }
void SetProfile(PlayerProfile* value) { profile = value; }
SoundManager* GetSoundManager() { return soundManager; }
void SetSoundManager(SoundManager* value) { soundManager = value; }
IngameController* GetController() { return controller; }
void SetController(IngameController* value) { controller = value; }

PlayHud& GetPlayHud() {
    static SilentHud silent;
    return hud != nullptr ? *hud : silent;
}
void SetPlayHud(PlayHud* value) { hud = value; }

PlayWorld& GetPlayWorld() {
    static NoPlayWorld none;
    return world != nullptr ? *world : none;
}
void SetPlayWorld(PlayWorld* value) { world = value; }

MenuPages& GetMenuPages() {
    static DefaultCommandMenus defaults;
    return menus != nullptr ? *menus : defaults;
}
void SetMenuPages(MenuPages* value) { menus = value; }

HudDrawing& GetHudDrawing() {
    static HudDrawing plain;
    return hudDrawing != nullptr ? *hudDrawing : plain;
}
void SetHudDrawing(HudDrawing* value) { hudDrawing = value; }

FlowHost* GetFlowHost() { return flowHost; }
void SetFlowHost(FlowHost* value) { flowHost = value; }
