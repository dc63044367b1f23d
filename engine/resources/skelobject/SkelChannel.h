// The animation channels of skinned objects: one record per animation played, taken from a
// process-wide pool that grows by 16 records when it runs empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

class SkelAnimation;

constexpr std::uint32_t kMaxSkelBones = 96;
constexpr std::uint32_t kMaxChannelEvents = 16;
constexpr std::uint32_t kChannelPoolGrowth = 16;

// Channel flags.
constexpr DWORD kChannelLooping = 0x1;
constexpr DWORD kChannelCallerFlag = 0x2;
constexpr DWORD kChannelPaused = 0x4;

struct ChannelEvent {
    float time;
    int id;
};

struct SkelChannel {
    SkelAnimation* animation;  // holds a reference while the channel plays
    int id;
    DWORD flags;
    float currentTime;
    float pausedTime;
    float startDelay;
    float endTime;  // -1 while looping
    std::uint16_t keyIndex[kMaxSkelBones];
    float speed;
    float weight;
    float blendTime;
    float fadeTime;  // the fade length once stopped with a fade
    std::uint32_t eventCount;
    ChannelEvent events[kMaxChannelEvents];
    SkelChannel* nextFree;
};

// A cleared channel with a new id; null when memory runs out.
SkelChannel* TakeSkelChannel();
// Gives the animation's reference back and returns the record to the pool.
void ReturnSkelChannel(SkelChannel* channel);
std::size_t PooledSkelChannels();
std::size_t SkelChannelsInUse();
// Frees the pool's records (at engine shutdown); records in use stay theirs.
void FreeSkelChannelPool();

// Ids of the process-wide counters: channels from 1, timed events from 65539.
int NextSkelChannelId();
int NextTimedEventId();
