#include "tests/game/play/ProfileProbe.h"

#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"

namespace play_test {

PlayerProfile* NewProfile() {
    auto* profile = new PlayerProfile();
    SetProfile(profile);
    return profile;
}

void DeleteProfile(PlayerProfile* profile) {
    if (GetProfile() == profile) SetProfile(nullptr);
    delete profile;
}

void MarkCutsceneSeen(PlayerProfile& profile, std::int32_t world) { profile.MarkCutsceneSeen(world); }
bool CutsceneSeen(const PlayerProfile& profile, std::int32_t world) { return !profile.CutsceneNotSeen(world); }
int LevelDone(const PlayerProfile& profile, std::int32_t level) { return profile.LevelDone(level); }
int Medal(const PlayerProfile& profile, std::int32_t level) { return profile.Medal(level); }
std::uint32_t OneLeafDoorCount(const PlayerProfile& profile) { return profile.award5Progress; }
std::uint32_t TeskKillCount(const PlayerProfile& profile) { return profile.award8Progress; }
bool HasAward(const PlayerProfile& profile, std::int32_t award) { return profile.HasAward(award); }

}  // namespace play_test
