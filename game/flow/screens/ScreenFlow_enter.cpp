// What entering each screen state does, and the loading screen's work.
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/screens/ScreenFlow.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"

namespace {

// Comic pages turn on their own after this long without a touch.
constexpr float kFirstComicTimer = 2.0f;

}  // namespace

int ScreenFlow::LoadGameData() {
    if (host_.LoadGameResources() == 0) return 0;
    if (SoundManager* sound = GetSoundManager()) sound->LoadAllSounds();
    if (controller_ == nullptr) controller_ = new IngameController(*this);
    if (controller_ != nullptr) controller_->Prepare();
    state_.comicTimer = kFirstComicTimer;
    return 1;
}

void ScreenFlow::EnterScreenState(DWORD next) {
    const DWORD old = state_.screenState;
    state_.previousScreenState = old;
    state_.screenState = next;
    state_.stateTime = old == kScreenPauseMenu ? 1.0f : 0.0f;
    state_.inputLatch = 1;
    SoundManager* sound = GetSoundManager();
    PlayerProfile* profile = GetProfile();
    switch (next) {
        case kScreenStartupMenu: host_.RunFrameDriverOnce(); break;
        case kScreenTitle:
            if (sound != nullptr) {
                if (profile != nullptr) {
                    sound->SetMusicVolume(static_cast<float>(profile->Option(kOptionMusicVolume)) * 0.1f);
                    sound->SetEffectsVolume(static_cast<float>(profile->Option(kOptionEffectsVolume)) * 0.1f);
                }
                sound->PlayMusic(kMusicMenus, 1);
            }
            break;
        case kScreenMenus:
        case kScreenPauseMenu:
            if (sound != nullptr) {
                sound->SetGroup(kSoundGroupMenus);
                sound->PlayMusic(kMusicMenus, 0);
            }
            host_.RunFrameDriverOnce();
            break;
        case kScreenLevelLoading:
            if (old == kScreenLeavePlay) state_.stateTime = 1.0f;
            state_.loadingValue = 0.0f;
            host_.LoadLoadingPicture();
            if (controller_ != nullptr) {
                controller_->UnloadLevel();
                controller_->pendingState = kPlayLoad;
            }
            if (sound != nullptr) sound->StopGroupMusic(kSoundGroupMenus);
            break;
        case kScreenIntroComic:
        case kScreenOutroComic:
            GetPlayHud().ResetComics();
            state_.comicTimer = 0.0f;
            if (sound != nullptr) sound->PlayMusic(kMusicComic, 1);
            break;
        case kScreenPlay:
            if (sound != nullptr) {
                sound->SetGroup(kSoundGroupPlay);
                const bool cutscene = controller_ != nullptr && controller_->state == kPlayCutscene;
                sound->PlayMusic(cutscene ? kMusicComic : kMusicPlay, 0);
            }
            break;
        case kScreenLeavePlay:
            state_.loadingValue = 0.0f;
            if (state_.leaveKind == 2) {
                // Every page is made again in the new language.
                MenuPages& menus = GetMenuPages();
                menus.Shutdown();
                host_.LoadLocalisation(LanguageFolder(profile != nullptr ? profile->Option(kOptionLanguage)
                                                                         : kLanguageEnglish));
                menus.LoadMenus();
                state_.languageChanged = 0;
            } else if (old == kScreenPlay && sound != nullptr) {
                sound->StopGroupMusic(kSoundGroupPlay);
            }
            if (profile != nullptr) profile->Save();
            break;
        default: break;
    }
}
