// The game flow's process-wide services, one instance each: the player profile, the sound
// manager, the in-game controller, the HUD, the game world and the menu pages. Each getter
// answers null while its service does not exist; the HUD, the world and the menus answer
// their stand-ins until the real ones are set.
#pragma once

class PlayerProfile;
class SoundManager;
class IngameController;
class PlayHud;
class PlayWorld;
class MenuPages;
class HudDrawing;
class FlowHost;

PlayerProfile* GetProfile();
void SetProfile(PlayerProfile* profile);
SoundManager* GetSoundManager();
void SetSoundManager(SoundManager* manager);
IngameController* GetController();
void SetController(IngameController* controller);

PlayHud& GetPlayHud();
// Null returns to the stand-in.
void SetPlayHud(PlayHud* hud);
PlayWorld& GetPlayWorld();
void SetPlayWorld(PlayWorld* world);
MenuPages& GetMenuPages();
void SetMenuPages(MenuPages* menus);
// What the frame asks the HUD to draw; null returns to the stand-in.
HudDrawing& GetHudDrawing();
void SetHudDrawing(HudDrawing* drawing);
// The screen state machine the menu pages ask for the screen state and the key states; null
// while none runs.
FlowHost* GetFlowHost();
void SetFlowHost(FlowHost* host);
