// The animation player pool, the play-id counter, the list of animated nodes and the
// evaluation of a player's keys.
#include "engine/core/node/AnimationPlayer.h"

#include <cmath>
#include <cstring>

#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/NodeAnimation.h"

namespace {

constexpr int kPlayersPerBlock = 16;

struct PlayerBlock {
    PlayerBlock* next;
    AnimationPlayer players[kPlayersPerBlock];
};

PlayerBlock* blocks = nullptr;
AnimationPlayer* freePlayers = nullptr;
std::size_t playersInUse = 0;
std::size_t pooledPlayers = 0;
int lastPlayId = 0;
KDLList animatedNodes;

bool GrowPool() {
    auto* block = static_cast<PlayerBlock*>(EngineAlloc(sizeof(PlayerBlock)));
    if (block == nullptr) return false;
    block->next = blocks;
    blocks = block;
    for (AnimationPlayer& player : block->players) {
        player.nextFree = freePlayers;
        freePlayers = &player;
    }
    pooledPlayers += kPlayersPerBlock;
    return true;
}

Vector3 Lerp(const Vector3& a, const Vector3& b, float t) {
    const float keep = 1.0f - t;
    return {keep * a.x + t * b.x, keep * a.y + t * b.y, keep * a.z + t * b.z};
}

}  // namespace

AnimationPlayer* TakeAnimationPlayer() {
    if (freePlayers == nullptr && !GrowPool()) return nullptr;
    AnimationPlayer* player = freePlayers;
    freePlayers = player->nextFree;
    std::memset(player, 0, sizeof *player);
    --pooledPlayers;
    ++playersInUse;
    return player;
}

void ReturnAnimationPlayer(AnimationPlayer* player) {
    if (player == nullptr) return;
    player->nextFree = freePlayers;
    freePlayers = player;
    ++pooledPlayers;
    --playersInUse;
}

std::size_t AnimationPlayersInUse() { return playersInUse; }
std::size_t PooledAnimationPlayers() { return pooledPlayers; }

int NextPlayId() {
    ++lastPlayId;
    if (lastPlayId <= 0) lastPlayId = 1;  // wrapped: ids stay positive
    return lastPlayId;
}

KDLList& AnimatedNodes() { return animatedNodes; }

void FreeAnimationPlayerPool() {
    if (playersInUse != 0) return;
    while (blocks != nullptr) {
        PlayerBlock* next = blocks->next;
        EngineFree(blocks);
        blocks = next;
    }
    freePlayers = nullptr;
    pooledPlayers = 0;
}

bool PlayerPose(const AnimationPlayer& player, Vector3& position, Quaternion& rotation, Vector3& scale) {
    const NodeAnimation& animation = *player.animation;
    const std::uint32_t frames = animation.FrameCount();
    float t = player.currentTime - player.startTime;
    if (!(t >= 0.0f) || !std::isfinite(t) || frames == 0) return false;
    if (player.endTime >= 0.0f) {
        const float last = player.endTime - player.startTime;
        if (t > last) t = last;
        if (t < 0.0f) return false;
    }
    const float whole = std::floor(t);
    const float fraction = t - whole;
    std::uint32_t index;
    std::uint32_t next;
    if ((player.playFlags & kPlayLoop) != 0) {
        // The modulo is taken before the conversion, so a long-running loop never overflows.
        index = static_cast<std::uint32_t>(std::fmod(whole, static_cast<float>(frames)));
        if (index >= frames) index = 0;
        next = index + 1 < frames ? index + 1 : 0;
    } else if (whole >= static_cast<float>(frames - 1)) {
        index = next = frames - 1;
    } else {
        index = static_cast<std::uint32_t>(whole);
        next = index + 1;
    }

    Vector3 keyedPosition = Lerp(animation.Positions()[index], animation.Positions()[next], fraction);
    Quaternion keyedRotation;
    QuaternionSlerp(animation.Rotations()[index], animation.Rotations()[next], fraction, keyedRotation);
    const Vector3* scales = (animation.Flags() & kNodeAnimationScale) != 0 ? animation.Scales() : nullptr;
    Vector3 keyedScale = scales != nullptr ? Lerp(scales[index], scales[next], fraction) : scale;

    if ((player.playFlags & kPlayRelative) != 0) {
        keyedPosition = {player.basePosition.x + keyedPosition.x, player.basePosition.y + keyedPosition.y,
                         player.basePosition.z + keyedPosition.z};
        QuaternionMultiply(player.baseRotation, keyedRotation, keyedRotation);
        if (scales != nullptr)
            keyedScale = {player.baseScale.x * keyedScale.x, player.baseScale.y * keyedScale.y,
                          player.baseScale.z * keyedScale.z};
    }
    position = keyedPosition;
    rotation = keyedRotation;
    scale = keyedScale;
    return true;
}
