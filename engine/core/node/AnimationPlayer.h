// The animation player a node attaches while it plays a NodeAnimation, the pool the players
// come from, the play-id counter, and the global list of animated nodes.
#pragma once

#include <cstddef>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class NodeAnimation;

// Play flags.
constexpr DWORD kPlayLoop = 0x1;
constexpr DWORD kPlayCallerFlag = 0x2;
// Not advanced by the update; the world matrix composes the pose at the current time.
constexpr DWORD kPlayHeld = 0x4;
// The keys are taken relative to the pose the node had when the animation started.
constexpr DWORD kPlayRelative = 0x8;

// Times are counted in frames; an end time of -1 means none (a looping animation).
struct AnimationPlayer {
    NodeAnimation* animation;  // holds a reference while the player is attached
    int playId;
    DWORD playFlags;
    float currentTime;
    float startTime;
    float endTime;
    float rate;
    // As given at the start; the node keeps them for whoever asks.
    float speed;
    float fade;
    // The node's pose at the start, for kPlayRelative.
    Vector3 basePosition;
    Quaternion baseRotation;
    Vector3 baseScale;
    AnimationPlayer* nextFree;
};

// A cleared player from the pool, which grows by 16 records when it is empty; null when
// memory runs out.
AnimationPlayer* TakeAnimationPlayer();
void ReturnAnimationPlayer(AnimationPlayer* player);
// Players handed out and not returned, and records waiting in the pool.
std::size_t AnimationPlayersInUse();
std::size_t PooledAnimationPlayers();

// Frees the pool's records; kept while players are handed out, so that the nodes holding
// them never point into freed memory.
void FreeAnimationPlayerPool();

// Ids from a global counter; never 0 or -1.
int NextPlayId();

// The nodes that play an animation (each once, with node flag kNodeAnimated); the world
// updates them every frame.
KDLList& AnimatedNodes();

// At shutdown: empties the list of animated nodes (their flag is cleared) and frees the
// player pool.
void FreeSceneNodeLists();

// The pose the player's keys give at its current time: the position, rotation and (when the
// animation has scale keys) scale are written; the others keep what they hold. False, with
// nothing written, while the time lies before the start or is not a number.
bool PlayerPose(const AnimationPlayer& player, Vector3& position, Quaternion& rotation, Vector3& scale);
