// Recording a finished level and the award checks that follow it.
#include <cstdio>

#include "game/flow/interfaces/PlayHud.h"
#include "game/flow/profile/PlayerProfile.h"
#include "game/flow/services/GameServices.h"

namespace {

// The key number of each award's texts ("AWARD_NAME_<m>"), by award index.
constexpr std::int32_t kAwardKeyNumber[kAwardCount] = {6, 1, 9, 7, 8, 10, 5, 2, 11, 12, 13, 14, 15, 3, 4};

constexpr std::int32_t kAwardTutorialComplete = 0;
constexpr std::int32_t kAwardAllGold = 4;
constexpr std::int32_t kAwardWorldComplete = 7;
constexpr std::int32_t kAwardFinale = 13;
constexpr std::int32_t kAward5 = 5;
constexpr std::int32_t kAward8 = 8;

struct FractionAward {
    float threshold;
    std::int32_t award;
};

constexpr FractionAward kFractionAwards[] = {{0.25f, 9}, {0.5f, 10}, {0.75f, 11}, {1.0f, 12}};

std::int32_t LevelsOfWorld(std::int32_t world) { return world == 0 ? kTutorialLevelCount : kLevelsPerWorld; }

}  // namespace

bool PlayerProfile::GrantAward(std::int32_t award) {
    if (award < 0 || award >= kAwardCount || HasAward(award)) return false;
    awardWords[0] |= 1u << award;
    char key[24];
    std::snprintf(key, sizeof key, "AWARD_NAME_%d", static_cast<int>(kAwardKeyNumber[award]));
    GetPlayHud().AddFloatingText(kPopupAward, award, key);
    return true;
}

bool PlayerProfile::RecordLevelResult(std::int32_t level, const LevelScore* score) {
    if (level < 0 || level >= kFirstCustomLevel) return false;
    const std::int32_t world = WorldOfLevel(level);
    if (world == 0) {
        worldFlags[0] |= static_cast<std::uint16_t>(1u << level);
    } else {
        const std::int32_t index = level - kFirstScoredLevel;
        worldFlags[world] |= static_cast<std::uint16_t>(1u << (index % kLevelsPerWorld));
        LevelRecord& record = levels[index];
        if (score != nullptr) {
            if (score->medal > record.medal) record.medal = score->medal;
            const std::uint32_t sum =
                static_cast<std::uint32_t>(score->timePoints) + static_cast<std::uint32_t>(score->logicPoints);
            if (sum > record.bestScore) record.bestScore = sum;
        } else if (record.medal == 0) {
            record.medal = kMedalNone;
        }
    }
    const std::int32_t done = WorldDoneCount(world);
    PlayHud& hud = GetPlayHud();
    if (world < 9 && !WorldUnlocked(world + 1)) {
        if (done >= 3) {
            worldFlags[world + 1] |= kWorldUnlocked;
            hud.AddFloatingText(kPopupWorldUnlocked, world + 1, "NOTIFICATION_WORLD_UNLOCKED");
        }
    } else if (done == LevelsOfWorld(world) && (worldFlags[world] & kWorldComplete) == 0) {
        worldFlags[world] |= kWorldComplete;
        if (world >= 1) {
            hud.AddFloatingText(kPopupWorldComplete, world, "NOTIFICATION_WORLD_COMPLETE");
            GrantAward(kAwardWorldComplete);
        } else {
            GrantAward(kAwardTutorialComplete);
        }
    }
    const float fraction = FractionDone();
    for (const FractionAward& entry : kFractionAwards)
        if (fraction >= entry.threshold) GrantAward(entry.award);
    if ((worldFlags[9] & kWorldComplete) != 0 && AllGold()) GrantAward(kAwardAllGold);
    if (world == 9 && WorldDoneCount(9) >= 3 && !HasAward(kAwardFinale)) {
        GrantAward(kAwardFinale);
        return true;
    }
    return false;
}

void GrantAward10() {
    if (PlayerProfile* profile = GetProfile()) profile->GrantAward(kAward5);
}

void GrantAward11() {
    if (PlayerProfile* profile = GetProfile()) profile->GrantAward(kAward8);
}
