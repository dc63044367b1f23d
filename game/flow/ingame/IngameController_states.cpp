// What entering each play state does: loading a level or a world's cut-scene, the notices,
// completion with its ratings and medal, the choice of the next level and restarts.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/app/AppFiles.h"
#include "engine/core/text/EngineString.h"
#include "game/flow/ingame/IngameController.h"
#include "game/flow/interfaces/FlowHost.h"
#include "game/flow/interfaces/MenuPages.h"
#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/interfaces/PlayWorld.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"
#include "game/flow/sound/SoundManager.h"

namespace {

constexpr const char* kLevelFolder = "levels/";
constexpr const char* kCustomLevelFolder = "customlevels/";
constexpr const char* kCustomLevelExtension = "qvn";
constexpr DWORD kListCustomLevels = 5;

// A rating: par over the measure, times 5, kept within 0.1 .. 8. A measure of 0 (or a par
// that makes no number) cannot be divided by, and truncating a NaN is undefined: the rating
// is then the best one.
float Rating(float par, float measure) {
    constexpr float kMinRating = 0.1f;
    constexpr float kMaxRating = 8.0f;
    if (!(measure > 0.0f)) return par > 0.0f ? kMaxRating : kMinRating;
    const float rating = par / measure * 5.0f;
    if (std::isnan(rating)) return kMinRating;
    return std::clamp(rating, kMinRating, kMaxRating);
}

void ListCustomLevels(std::vector<std::string>* names, std::int32_t* count) {
    KDLList listed;
    ListFiles("customlevels", kCustomLevelExtension, listed, kListCustomLevels);
    for (KDLListIterator it(listed); it.current != nullptr; it.Next()) {
        const auto* name = static_cast<const EngineString*>(it.Item());
        if (name == nullptr) continue;
        if (names != nullptr) names->emplace_back(name->Text());
        ++*count;
    }
    ListDeleteAll(listed, EngineString::DeleteItem);
}

}  // namespace

float LevelRating(float par, float measure) { return Rating(par, measure); }

std::int32_t IngameController::RefreshCustomLevels() {
    customLevels_.clear();
    std::int32_t count = 0;
    ListCustomLevels(&customLevels_, &count);
    return count;
}

bool IngameController::HasCustomLevels() {
    std::int32_t count = 0;
    ListCustomLevels(nullptr, &count);
    return count > 0;
}

void IngameController::Notify(const char* key, std::int32_t number, float seconds) {
    GetPlayHud().PushNotification(key, number, seconds, kWhite);
}

void IngameController::SetState(std::int32_t next) {
    previousState = state;
    stateTimer = 0.0f;
    state = next;
    pendingState = next;
    switch (next) {
        case kPlayLoad: EnterLoad(); break;
        case kPlayFlyIn:
            PlaySoundEffect(kSoundLoadingSpin, 0, 1);
            camera.target = GetPlayWorld().Character().position;
            camera.distance = 50.0f;
            camera.eye = {camera.target.x, camera.target.y, camera.target.z - 20.0f};
            break;
        case kPlayCutscene: EnterCutscene(); break;
        case kPlayPlaying: EnterPlay(); break;
        case kPlayScroll: Notify("NOTIFICATION_TOUCH_TO_SCROLL", -1, 5.0f); break;
        case kPlayComplete: EnterComplete(); break;
        case kPlayReset: GetPlayWorld().StopCharacterLoopSound(); break;
        case kPlayLeave: EnterLeave(); break;
        default: break;
    }
}

void IngameController::EnterLoad() {
    PlayWorld& world = GetPlayWorld();
    currentLevel = nextLevel;
    startedWithCutscene = 0;
    camera.distance = 50.0f;
    std::int32_t worldIndex = cutsceneRequest != 0 ? requestedWorld : WorldOfLevel(currentLevel);
    const PlayerProfile* profile = GetProfile();
    if ((profile != nullptr && worldIndex < 10 && profile->CutsceneNotSeen(worldIndex)) || cutsceneRequest != 0) {
        startedWithCutscene = 1;
        char name[24];
        std::snprintf(name, sizeof name, "world%02i", static_cast<int>(worldIndex == 0 ? 1 : worldIndex));
        const bool loaded = world.LoadLevelFile(kLevelFolder, "levelcut") && world.LoadCutscene(name);
        pendingState = loaded ? kPlayCutscene : kPlayLeave;
    } else {
        bool loaded = false;
        if (currentLevel >= 0 && currentLevel < kFirstCustomLevel) {
            char name[24];
            std::snprintf(name, sizeof name, "level%02i", static_cast<int>(currentLevel + 1));
            loaded = world.LoadLevelFile(kLevelFolder, name);
        } else if (currentLevel >= kFirstCustomLevel &&
                   static_cast<std::size_t>(currentLevel - kFirstCustomLevel) < customLevels_.size()) {
            loaded = world.LoadLevelFile(kCustomLevelFolder, customLevels_[currentLevel - kFirstCustomLevel].c_str());
        }
        pendingState = loaded ? kPlayFlyIn : kPlayLeave;
    }
    ResetPlay();
}

void IngameController::EnterCutscene() {
    PlayWorld& world = GetPlayWorld();
    PlaySoundEffect(kSoundLoadingSpin, 0, 1);
    if (!world.IsExitPortalOpen()) world.OpenExitPortal();
    if (world.Level().shotCount <= 0) return;
    Vector3 position;
    Vector3 target;
    world.CameraSlot(world.ShotCameraSlot(0), position, target);
    camera.desiredEye = {position.x + 45.0f, position.y - 45.0f, position.z - 45.0f};
    camera.eye = camera.desiredEye;
    camera.target = target;
    const Vector3 between{target.x - position.x, target.y - position.y, target.z - position.z};
    camera.distance = std::sqrt(between.x * between.x + between.y * between.y + between.z * between.z);
}

void IngameController::EnterPlay() {
    GetPlayHud().ClearNotifications();
    if (SoundManager* sound = GetSoundManager()) {
        sound->SetGroup(kSoundGroupPlay);
        sound->PlayMusic(kMusicPlay, 0);
    }
    if (previousState == kPlayScroll) {
        stateTimer = 5.0f;
        return;
    }
    const LevelFacts level = GetPlayWorld().Level();
    const std::int32_t left = level.sphereTotal - level.spheresCollected;
    if (level.sphereTotal >= 2 && left >= 2)
        Notify("NOTIFICATION_SPHERES_LEFT", left, 3.0f);
    else if (left == 1)
        Notify("NOTIFICATION_ONE_SPHERE_LEFT", -1, 3.0f);
}

void IngameController::EnterLeave() {
    const PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return;
    const std::int32_t next = profile->NextLevel(currentLevel);
    if (next < 0 || leaveToWorld != 0 || next >= kFirstCustomLevel) {
        lastCompleted = -1;
        nextLevel = 0;
    } else {
        nextLevel = next;
    }
}

void IngameController::EnterComplete() {
    PlayerProfile* profile = GetProfile();
    if (previousState == kPlayCutscene) {
        if (cutsceneRequest != 0) {
            cutsceneRequest = 0;
            UnloadLevel();
            pendingState = kPlayLeave;
            leaveToWorld = 1;
            OpenMenuPage(GetMenuPages(), kPageWorldSelect);
            host_.RequestScreenState(kScreenMenus);
        } else {
            if (profile != nullptr) profile->MarkCutsceneSeen(WorldOfLevel(currentLevel));
            host_.RequestScreenState(kScreenLevelLoading);
        }
        return;
    }
    lastCompleted = currentLevel;
    GetPlayHud().ClearNotifications();
    Notify("NOTIFICATION_LEVEL_COMPLETE", -1, 3.0f);
    if (currentLevel >= kFirstScoredLevel && currentLevel < kFirstCustomLevel) {
        ScoreLevel();
    } else if (currentLevel >= 0 && currentLevel < kFirstScoredLevel) {
        previousBest = 0;
        if (profile != nullptr) profile->RecordLevelResult(currentLevel, nullptr);
    }
}

void IngameController::ScoreLevel() {
    if (SoundManager* sound = GetSoundManager()) sound->PlayMusic(kMusicLevelComplete, 0);
    const LevelFacts level = GetPlayWorld().Level();
    elapsedCopy = elapsedTime;
    timeRating = Rating(level.parTime, elapsedCopy);
    logicMeasure = static_cast<float>(GetPlayWorld().Character().logicCount) * 0.1f;
    logicRating = Rating(level.parLogic, logicMeasure);
    timePoints = static_cast<std::int32_t>(timeRating * 100.0f) * 10;
    logicPoints = static_cast<std::int32_t>(logicRating * 100.0f) * 10;
    newRecord = 0;
    const float sum = std::min(timeRating, 5.0f) + std::min(logicRating, 5.0f);
    PlayerProfile* profile = GetProfile();
    if (sum > 9.0f) {
        medal = kMedalGold;
        resultTitle = "GOLD_MEDAL";
        resultColour = kMedalColourGold;
        constexpr std::int32_t kGoldAward = 1;
        if (profile != nullptr) profile->GrantAward(kGoldAward);
    } else if (sum > 7.0f) {
        medal = kMedalSilver;
        resultTitle = "SILVER_MEDAL";
        resultColour = kMedalColourSilver;
    } else if (sum > 5.0f) {
        medal = kMedalBronze;
        resultTitle = "BRONZE_MEDAL";
        resultColour = kMedalColourBronze;
    } else {
        medal = kMedalNone;
        resultTitle = "NOTIFICATION_LEVEL_COMPLETE";
        resultColour = kMedalColourNone;
    }
    if (profile == nullptr) return;
    const std::uint32_t storedBest = profile->BestScore(currentLevel);
    const BYTE storedMedal = profile->Medal(currentLevel);
    if (profile->LevelDone(currentLevel) != 0) {
        const std::uint32_t points = static_cast<std::uint32_t>(timePoints) + static_cast<std::uint32_t>(logicPoints);
        if ((medal > kMedalNone && medal > storedMedal) || points > storedBest) newRecord = 1;
    }
    previousBest = static_cast<std::int32_t>(storedBest);
    const LevelScore score{medal, timePoints, logicPoints};
    if (profile->RecordLevelResult(currentLevel, &score)) finale = 1;
}

void IngameController::RestartLevel() {
    stateTimer = 0.0f;
    GetPlayWorld().RestartLevel();
    GetPlayHud().ClearNotifications();
    ResetPlay();
    pendingState = kPlayPlaying;
    if (SoundManager* sound = GetSoundManager()) sound->SetGroup(kSoundGroupPlay);
    const LevelFacts level = GetPlayWorld().Level();
    if (level.sphereTotal > 1) Notify("NOTIFICATION_SPHERES_LEFT", level.sphereTotal, 3.0f);
}

void IngameController::UnloadLevel() {
    if (SoundManager* sound = GetSoundManager()) sound->StopGroup1Effects();
    GetPlayWorld().UnloadLevel();
}

void IngameController::OnSphereCollected() {
    PlaySoundEffect(kSoundKey, 0, 0);
    PlayWorld& world = GetPlayWorld();
    if (currentLevel >= kFirstScoredLevel) world.SetCharacterSphereFlag();
    const LevelFacts level = world.Level();
    const std::int32_t left = level.sphereTotal - level.spheresCollected;
    if (left > 1) {
        Notify("NOTIFICATION_SPHERES_LEFT", left, 2.0f);
    } else if (left == 1) {
        Notify("NOTIFICATION_ONE_SPHERE_LEFT", -1, 3.0f);
    } else if (left == 0) {
        if (!world.IsExitPortalOpen()) PlaySoundEffect(kSoundPortalOpen, 0, 0);
        world.OpenExitPortal();
        GetPlayHud().ClearNotifications();
        Notify("PORTAL_IS_OPEN", -1, 3.0f);
    }
}
