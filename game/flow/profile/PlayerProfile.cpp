// The profile's defaults, options, queries and creation.
#include "game/flow/profile/PlayerProfile.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "game/flow/services/GameServices.h"

namespace {

constexpr std::int32_t kDefaultOptions[kOptionCount] = {1, 0, 1, kLanguageNotChosen, 5, 5, 80, 0, 0, 0};

struct OptionRange {
    std::int32_t option, minimum, maximum;
};

constexpr OptionRange kOptionRanges[] = {
    {kOptionLanguage, 0, kLanguageCount - 1},
    {kOptionMusicVolume, 0, 10},
    {kOptionEffectsVolume, 0, 10},
    {kOptionControllerOpacity, 0, 100},
};

bool rightToLeftText = false;

// Done bits of a world's word: 8 for the tutorial world, 5 for the others.
std::int32_t LevelsOfWorld(std::int32_t world) { return world == 0 ? kTutorialLevelCount : kLevelsPerWorld; }

}  // namespace

std::int32_t WorldOfLevel(std::int32_t level) {
    if (level < kFirstScoredLevel) return 0;
    return std::min((level - kFirstScoredLevel) / kLevelsPerWorld + 1, 10);
}

PlayerProfile::PlayerProfile() { ResetProgressAndOptions(); }

void PlayerProfile::ResetProgressAndOptions() {
    std::copy(std::begin(kDefaultOptions), std::end(kDefaultOptions), options);
    std::fill(std::begin(worldFlags), std::end(worldFlags), std::uint16_t{0});
    worldFlags[0] = kWorldUnlocked;
    worldFlags[1] = kWorldUnlocked;
    std::fill(std::begin(levels), std::end(levels), LevelRecord{});
    awardWord2 = 0;
    spareWord = 0;
    award8Progress = 0;
    award5Progress = 0;
    tutorialHint = 1;
}

void PlayerProfile::Reset() {
    UserSave::Reset();
    ResetProgressAndOptions();
}

void PlayerProfile::SetOption(std::int32_t option, std::int32_t value) {
    if (option < 0 || option >= kOptionCount) return;
    for (const OptionRange& range : kOptionRanges)
        if (range.option == option) value = std::clamp(value, range.minimum, range.maximum);
    options[option] = value;
    if (option == kOptionLanguage) rightToLeftText = value == kLanguageArabic;
}

std::int32_t PlayerProfile::Option(std::int32_t option) const {
    return option >= 0 && option < kOptionCount ? options[option] : 0;
}

void PlayerProfile::ClampOptions() {
    // A saved language may still be "not chosen"; the system's is taken for it after loading.
    const std::int32_t language = options[kOptionLanguage];
    for (const OptionRange& range : kOptionRanges)
        options[range.option] = std::clamp(options[range.option], range.minimum, range.maximum);
    if (language == kLanguageNotChosen) options[kOptionLanguage] = kLanguageNotChosen;
    options[kOptionRumble] = std::clamp(options[kOptionRumble], 0, 1);
    options[kOptionAccelerometer] = std::clamp(options[kOptionAccelerometer], 0, 1);
}

int PlayerProfile::LevelDone(std::int32_t level) const {
    if (level >= 0 && level < kFirstScoredLevel) return (worldFlags[0] >> level & 1) != 0 ? 1 : 0;
    if (level >= kFirstScoredLevel && level < kFirstCustomLevel) return levels[level - kFirstScoredLevel].medal != 0;
    return 0;
}

std::uint32_t PlayerProfile::BestScore(std::int32_t level) const {
    return level >= kFirstScoredLevel && level < kFirstCustomLevel ? levels[level - kFirstScoredLevel].bestScore : 0;
}

BYTE PlayerProfile::Medal(std::int32_t level) const {
    return level >= kFirstScoredLevel && level < kFirstCustomLevel ? levels[level - kFirstScoredLevel].medal : 0;
}

std::int32_t PlayerProfile::WorldDoneCount(std::int32_t world) const {
    if (world < 0 || world >= kWorldCount) return 0;
    std::int32_t count = 0;
    for (std::int32_t bit = 0; bit < LevelsOfWorld(world); ++bit) count += worldFlags[world] >> bit & 1;
    return count;
}

bool PlayerProfile::WorldUnlocked(std::int32_t world) const {
    return world >= 0 && world < kWorldCount && (worldFlags[world] & kWorldUnlocked) != 0;
}

bool PlayerProfile::CutsceneNotSeen(std::int32_t world) const {
    return world >= 0 && world < kWorldCount && (worldFlags[world] & kWorldCutsceneSeen) == 0;
}

bool PlayerProfile::AllGold() const {
    return std::all_of(std::begin(levels), std::end(levels), [](const LevelRecord& r) { return r.medal == kMedalGold; });
}

float PlayerProfile::FractionDone() const {
    std::int32_t done = 0;
    for (std::int32_t world = 1; world < kWorldCount; ++world) done += WorldDoneCount(world);
    return static_cast<float>(done) * 0.022222223f;
}

std::int32_t PlayerProfile::NextLevel(std::int32_t level) const {
    if (level < 0 || level >= kFirstCustomLevel - 1) return -1;
    const bool lastOfWorld = level < kFirstScoredLevel ? level == kFirstScoredLevel - 1
                                                       : (level - kFirstScoredLevel) % kLevelsPerWorld == kLevelsPerWorld - 1;
    if (!lastOfWorld) return level + 1;
    const std::int32_t world = WorldOfLevel(level + 1);
    return world >= 1 && world <= 9 && WorldUnlocked(world) ? level + 1 : -1;
}

void PlayerProfile::MarkCutsceneSeen(std::int32_t world) {
    if (world < 0 || world >= kWorldCount) return;
    worldFlags[world] |= kWorldCutsceneSeen;
    // The tutorial and the first world share their cut-scene.
    if (world == 0) worldFlags[1] |= kWorldCutsceneSeen;
    if (world == 1) worldFlags[0] |= kWorldCutsceneSeen;
}

void PlayerProfile::SetAwardSeen(std::int32_t award) {
    if (award >= 0 && award < kAwardCount) awardWord2 |= 1u << award;
}

PlayerProfile* CreatePlayerProfile(const BYTE (&key)[kUserSaveKeySize], DWORD languageSetup) {
    auto* profile = new PlayerProfile;
    if (profile == nullptr) return nullptr;
    std::memcpy(profile->key, key, kUserSaveKeySize);
    SetCurrentProfileId(key);
    profile->loadState = kUserSaveReady;
    if (profile->Load() == 0) {
        // Whatever the file held is replaced only by a valid record; a refused one left the
        // profile at its defaults.
        profile->Save();
    }
    if (profile->options[kOptionLanguage] == kLanguageNotChosen) profile->SetLanguageFromSystem(languageSetup);
    rightToLeftText = profile->options[kOptionLanguage] == kLanguageArabic;
    return profile;
}

bool IsRightToLeftText() { return rightToLeftText; }

bool IsLanguageIndex20To22() {
    const PlayerProfile* profile = GetProfile();
    if (profile == nullptr) return false;
    const std::int32_t language = profile->options[kOptionLanguage];
    return language >= 20 && language <= 22;
}
