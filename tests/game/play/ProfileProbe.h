// The player profile for play's tests, reached without the profile's header (its names for
// the level counts are also the world's, which these tests include).
#pragma once

#include <cstdint>

class PlayerProfile;

namespace play_test {

// A fresh profile installed as the flow's; DeleteProfile takes it out again.
PlayerProfile* NewProfile();
void DeleteProfile(PlayerProfile* profile);

void MarkCutsceneSeen(PlayerProfile& profile, std::int32_t world);
bool CutsceneSeen(const PlayerProfile& profile, std::int32_t world);
int LevelDone(const PlayerProfile& profile, std::int32_t level);
int Medal(const PlayerProfile& profile, std::int32_t level);
std::uint32_t OneLeafDoorCount(const PlayerProfile& profile);
std::uint32_t TeskKillCount(const PlayerProfile& profile);
bool HasAward(const PlayerProfile& profile, std::int32_t award);

}  // namespace play_test
