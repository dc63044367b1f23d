// The pool of animation channel records and the process-wide id counters.
#include "engine/resources/skelobject/SkelChannel.h"

#include <cstring>

#include "engine/core/memory/EngineMemory.h"
#include "engine/resources/animation/SkelAnimation.h"

namespace {

// Records are allocated in blocks of 16; the blocks are chained through their first word.
struct ChannelBlock {
    ChannelBlock* next;
    SkelChannel records[kChannelPoolGrowth];
};

ChannelBlock* blocks = nullptr;
SkelChannel* freeChannels = nullptr;
std::size_t pooled = 0;
std::size_t inUse = 0;
int channelCounter = 1;
int eventCounter = 0x10003;

bool GrowPool() {
    auto* block = static_cast<ChannelBlock*>(EngineAlloc(sizeof(ChannelBlock)));
    if (block == nullptr) return false;
    std::memset(block, 0, sizeof(ChannelBlock));
    block->next = blocks;
    blocks = block;
    for (SkelChannel& record : block->records) {
        record.nextFree = freeChannels;
        freeChannels = &record;
    }
    pooled += kChannelPoolGrowth;
    return true;
}

}  // namespace

int NextSkelChannelId() { return channelCounter++; }
int NextTimedEventId() { return eventCounter++; }

SkelChannel* TakeSkelChannel() {
    if (freeChannels == nullptr && !GrowPool()) return nullptr;
    SkelChannel* channel = freeChannels;
    freeChannels = channel->nextFree;
    --pooled;
    ++inUse;
    std::memset(channel, 0, sizeof(SkelChannel));
    channel->id = NextSkelChannelId();
    channel->speed = 1.0f;
    channel->weight = 1.0f;
    return channel;
}

void ReturnSkelChannel(SkelChannel* channel) {
    if (channel == nullptr) return;
    if (channel->animation != nullptr) channel->animation->Release();
    channel->animation = nullptr;
    channel->nextFree = freeChannels;
    freeChannels = channel;
    ++pooled;
    --inUse;
}

std::size_t PooledSkelChannels() { return pooled; }
std::size_t SkelChannelsInUse() { return inUse; }

void FreeSkelChannelPool() {
    // A block with records in use stays: the objects holding them must never point into
    // freed memory.
    if (inUse != 0) return;
    while (blocks != nullptr) {
        ChannelBlock* next = blocks->next;
        EngineFree(blocks);
        blocks = next;
    }
    freeChannels = nullptr;
    pooled = 0;
}
