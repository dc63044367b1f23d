// The skinned object: construction, cloning, options, the channel operations, watchers and
// listeners.
#include "engine/resources/skelobject/SkelObject.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/node/AnimationPlayer.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "engine/resources/meshnode/Bone.h"

struct SkelObject::ListenerEntry : EngineAllocated {
    SkelListener listener;
    void* context;
};

namespace {

bool skipSkinData = false;
std::uint32_t skelFrame = 0;
std::uint32_t animatedThisFrame = 0;
std::uint32_t countedFrame = 0xFFFFFFFF;

// Bones find their skinned owner by this type without depending on this library.
const bool kOwnerTypeSet = (SetSkinnedOwnerType(SkelObject::StaticTypeId()), true);

}  // namespace

void SetSkipSkinData(bool skip) { skipSkinData = skip; }
bool SkipSkinData() { return skipSkinData; }
std::uint32_t AnimatedObjectsThisFrame() { return countedFrame == skelFrame ? animatedThisFrame : 0; }
void AdvanceSkelFrame() { ++skelFrame; }
std::uint32_t CurrentSkelFrame() { return skelFrame; }
void CountAnimatedObject() {
    if (countedFrame != skelFrame) {
        countedFrame = skelFrame;
        animatedThisFrame = 0;
    }
    ++animatedThisFrame;
}

SkelObject::SkelObject() {
    (void)kOwnerTypeSet;
    for (std::uint32_t b = 0; b < kMaxSkelBones; ++b) {
        boneRotations_[b] = kIdentityQuaternion;
        skinMatrices_[b] = kIdentityMatrix34;
        inverseBinds_[b] = kIdentityMatrix34;
    }
    for (Geometry& geometry : geometries_) geometry.kind = 0;
}

SkelObject::~SkelObject() {
    LeaveUpdateList();
    FreeChannels();
    if ((Flags() & kNodeInstance) == 0) FreeSkins();
    for (std::uint8_t*& palette : paletteBones_) {
        EngineFree(palette);
        palette = nullptr;
    }
    EngineFree(bones_);
    bones_ = nullptr;
    for (KDLList* list : {&watchers_, &listeners_})
        while (list->head != nullptr) delete static_cast<ListenerEntry*>(ListUnlink(*list, list->head));
    for (Geometry& geometry : geometries_) ReleaseGeometry(geometry);
}

void SkelObject::FreeSkins() {
    for (SkinRecord*& skin : skins_) {
        EngineFree(skin);
        skin = nullptr;
    }
}

void SkelObject::FreeChannels() {
    while (channels_.head != nullptr) ReturnSkelChannel(static_cast<SkelChannel*>(ListUnlink(channels_, channels_.head)));
}

KNode* SkelObject::CreateInstance(void*) { return new SkelObject(); }

const char* SkelObject::GetClassId() const { return "libkel/SkelObject"; }

Interface* CreateSkelObject() { return new SkelObject(); }

void SkelObject::InitClone(KNode& copy) {
    KNode::InitClone(copy);
    if (!copy.IsKindOf(StaticTypeId())) return;
    auto& target = static_cast<SkelObject&>(copy);
    target.options_ = options_ & ~kSkelMemoryOnly;
    target.boneCount_ = boneCount_;
    target.geometryCount_ = geometryCount_;
    target.savedWords_[0] = savedWords_[0];
    target.savedWords_[1] = savedWords_[1];
    target.autoUpdate_ = autoUpdate_;
    target.updateList_ = updateList_;
    target.skinSkipped_ = skinSkipped_;
    for (std::uint32_t g = 0; g < kMaxSkelGeometries; ++g) {
        Geometry& geometry = target.geometries_[g];
        ReleaseGeometry(geometry);
        geometry.flags = geometries_[g].flags | kGeometryShared;
        geometry.serial = NextGeometrySerial();
        geometry.kind = geometries_[g].kind;
        geometry.list = geometries_[g].list;
        geometry.reserved = geometries_[g].reserved;
        geometry.identifier = geometries_[g].identifier;
        // The clone reads the source's skin records; it never frees them (an instance).
        target.skins_[g] = skins_[g];
    }
    std::memcpy(target.inverseBinds_, inverseBinds_, sizeof(inverseBinds_));
}

// [SECTION] Options.

DWORD SkelObject::GetOptions() {
    return (options_ & kSkelOptionBit0) | (autoUpdate_ != 0 ? 0x2u : 0u) | (updateList_ != 0 ? 0x4u : 0u);
}

void SkelObject::SetOptions(DWORD mask, DWORD value) {
    if ((mask & 0x1) != 0) options_ = value != 0 ? options_ | kSkelOptionBit0 : options_ & ~kSkelOptionBit0;
    if ((mask & 0x2) != 0) autoUpdate_ = value;
    if ((mask & 0x4) != 0) {
        updateList_ = value != 0 ? 1 : 0;
        if (updateList_ != 0 && channels_.count != 0)
            JoinUpdateList();
        else if (updateList_ == 0)
            LeaveUpdateList();
    }
    if ((mask & 0x8) != 0) options_ = value != 0 ? options_ | kSkelBonesFixed : options_ & ~kSkelBonesFixed;
}

void SkelObject::JoinUpdateList() {
    if ((Flags() & kNodeAnimated) != 0) return;
    if (ListAppend(AnimatedNodes(), this) != nullptr) SetFlagBits(kNodeAnimated, true);
}

void SkelObject::LeaveUpdateList() {
    if ((Flags() & kNodeAnimated) == 0) return;
    SetFlagBits(kNodeAnimated, false);
    KDLList& list = AnimatedNodes();
    for (KDLLink* link = list.head; link != nullptr; link = link->next)
        if (link->item == this) {
            ListUnlink(list, link);
            return;
        }
}

// [SECTION] Playing and stopping.

int SkelObject::PlayAnimation(Animation* animation, float blendTime, DWORD playFlags, float fadeTime,
                              float startOffset) {
    if (animation == nullptr || !animation->IsKindOf(SkelAnimation::StaticTypeId())) return -1;
    return PlayAnimationRecord(static_cast<SkelAnimation*>(animation), blendTime, playFlags, fadeTime, startOffset);
}

int SkelObject::PlayAnimationRecord(SkelAnimation* animation, float blendTime, DWORD playFlags, float fadeTime,
                                    float startOffset) {
    // An animation without frames has nothing to sample and no frame count to wrap by.
    if (animation == nullptr || animation->BoneCount() != boneCount_ || animation->FrameCount() == 0) return -1;
    if ((playFlags & kSkelPlayAutoUpdate) != 0) autoUpdate_ = 1;
    SkelChannel* channel = TakeSkelChannel();
    if (channel == nullptr) return -1;
    animation->AddRef();
    channel->animation = animation;
    channel->blendTime = blendTime < 0 ? -blendTime : blendTime;
    channel->fadeTime = fadeTime < 0 ? -fadeTime : fadeTime;
    const float lastFrame = static_cast<float>(animation->FrameCount() - 1);
    if ((playFlags & kChannelLooping) != 0) {
        channel->flags |= kChannelLooping;
        channel->endTime = -1.0f;
    } else {
        channel->endTime = lastFrame + startOffset;
        if ((playFlags & kSkelPlayFadeBeforeEnd) != 0 && fadeTime <= 0.0f) channel->endTime -= fadeTime;
    }
    channel->flags |= playFlags & kChannelCallerFlag;
    channel->startDelay = startOffset;
    // Channels of animations that must come last stay behind every other.
    KDLLink* link = nullptr;
    if ((animation->Flags() & kSkelAnimationLast) == 0) {
        KDLLink* previous = nullptr;
        for (KDLLink* l = channels_.head; l != nullptr; l = l->next) {
            if ((static_cast<SkelChannel*>(l->item)->animation->Flags() & kSkelAnimationLast) != 0) break;
            previous = l;
        }
        if (previous == nullptr && channels_.head != nullptr &&
            (static_cast<SkelChannel*>(channels_.head->item)->animation->Flags() & kSkelAnimationLast) != 0) {
            // Before every channel: insert at the head.
            if (ListInsertAfter(channels_, channel, nullptr) == 1) link = channels_.head;
        } else if (previous != nullptr && previous != channels_.tail) {
            if (ListInsertAfter(channels_, channel, previous->item) == 1) link = previous->next;
        } else {
            link = ListAppend(channels_, channel);
        }
    } else {
        link = ListAppend(channels_, channel);
    }
    if (link == nullptr) {
        ReturnSkelChannel(channel);
        return -1;
    }
    if (updateList_ != 0) JoinUpdateList();
    SkelEvent event{0, 0, channel->id, playFlags, channel->blendTime, channel->fadeTime, 0};
    event.animationId = static_cast<int>(reinterpret_cast<std::uintptr_t>(animation) & 0x7FFFFFFF);
    NotifyListeners(event);
    return channel->id;
}

void SkelObject::Notify(int type, const SkelChannel& channel) {
    SkelEvent event{type, 0, channel.id, channel.flags, channel.blendTime, channel.fadeTime, 0};
    NotifyListeners(event);
}

void SkelObject::ReturnChannel(SkelChannel* channel, int eventType) {
    for (KDLLink* link = channels_.head; link != nullptr; link = link->next)
        if (link->item == channel) {
            ListUnlink(channels_, link);
            break;
        }
    Notify(eventType, *channel);
    ReturnSkelChannel(channel);
}

// With a positive fade the channel ends `fade` frames from now; otherwise it goes at once.
bool SkelObject::StopChannel(SkelChannel* channel, float fade) {
    if (fade > 0.0f) {
        channel->endTime = channel->currentTime + fade;
        channel->fadeTime = fade;
        Notify(2, *channel);
        return false;
    }
    ReturnChannel(channel, 2);
    return true;
}

int SkelObject::StopAnimations(float fade) {
    KDLLink* link = channels_.head;
    while (link != nullptr) {
        KDLLink* next = link->next;
        StopChannel(static_cast<SkelChannel*>(link->item), fade);
        link = next;
    }
    return 1;
}

int SkelObject::StopAnimation(Animation* animation, float fade) {
    SkelChannel* channel = FindChannelByAnimation(animation);
    if (channel == nullptr) return 0;
    StopChannel(channel, fade);
    return 1;
}

int SkelObject::StopAnimationById(int channelId, float fade) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0;
    StopChannel(channel, fade);
    return 1;
}

SkelChannel* SkelObject::FindChannelByAnimation(Animation* animation) {
    for (KDLLink* link = channels_.head; link != nullptr; link = link->next)
        if (static_cast<SkelChannel*>(link->item)->animation == animation) return static_cast<SkelChannel*>(link->item);
    return nullptr;
}

SkelChannel* SkelObject::FindChannelById(int channelId) {
    for (KDLLink* link = channels_.head; link != nullptr; link = link->next)
        if (static_cast<SkelChannel*>(link->item)->id == channelId) return static_cast<SkelChannel*>(link->item);
    return nullptr;
}

// [SECTION] Channel values.

int SkelObject::SetAnimationFlag(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0;
    if ((channel->flags & kChannelPaused) == 0) {
        channel->flags |= kChannelPaused;
        channel->pausedTime = channel->currentTime;
        Notify(3, *channel);
    }
    return 1;
}

int SkelObject::ClearAnimationFlag(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0;
    if ((channel->flags & kChannelPaused) != 0) {
        channel->flags &= ~kChannelPaused;
        Notify(3, *channel);
    }
    return 1;
}

int SkelObject::GetAnimationFlag(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    return channel != nullptr && (channel->flags & kChannelPaused) != 0 ? 1 : 0;
}

int SkelObject::HasAnimation() { return channels_.count != 0 ? 1 : 0; }
int SkelObject::IsAnimationFinished() { return channels_.count == 0 ? 1 : 0; }
int SkelObject::IsAnimationId(int channelId) { return FindChannelById(channelId) != nullptr ? 1 : 0; }
int SkelObject::IsAnimation(Animation* animation) { return FindChannelByAnimation(animation) != nullptr ? 1 : 0; }

int SkelObject::GetAnimationId(Animation* animation) {
    SkelChannel* channel = FindChannelByAnimation(animation);
    return channel != nullptr ? channel->id : 0;
}

int SkelObject::SetChannelSpeed(int channelId, float speed) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0;
    channel->speed = speed;
    Notify(5, *channel);
    return 1;
}

int SkelObject::SetChannelWeight(int channelId, float weight) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0;
    channel->weight = weight;
    Notify(6, *channel);
    return 1;
}

float SkelObject::GetChannelSpeed(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    return channel != nullptr ? channel->speed : -1.0f;
}

float SkelObject::GetChannelWeight(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    return channel != nullptr ? channel->weight : -1.0f;
}

float SkelObject::GetAnimationTime(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    return channel != nullptr ? channel->currentTime : -1.0f;
}

int SkelObject::SetAnimationTime(int channelId, float time) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr || !(time >= 0.0f)) return 0;
    channel->currentTime = time;
    return 1;
}

float SkelObject::GetRemainingTimeById(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0.0f;
    const float remaining = channel->endTime - channel->currentTime;
    return remaining > 0.0f ? remaining : 0.0f;
}

float SkelObject::GetRemainingTimeByAnimation(Animation* animation) {
    SkelChannel* channel = FindChannelByAnimation(animation);
    return channel != nullptr ? GetRemainingTimeById(channel->id) : 0.0f;
}

int SkelObject::RewindAnimation(int channelId) { return SkipToEnd(channelId); }

int SkelObject::SkipToEnd(int channelId) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr || channel->endTime < 0.0f) return 0;
    channel->currentTime = channel->endTime;
    const SkelAnimation& animation = *channel->animation;
    const std::uint32_t frames = animation.FrameCount();
    const float frame = frames != 0 ? static_cast<float>(static_cast<std::uint32_t>(channel->endTime) % frames) : 0.0f;
    for (std::uint32_t b = 0; b < boneCount_ && b < kMaxSkelBones; ++b)
        channel->keyIndex[b] = static_cast<std::uint16_t>(animation.FindKey(b, frame, channel->keyIndex[b]));
    Notify(4, *channel);
    return 1;
}

// [SECTION] Timed events.

int SkelObject::AddTimedEvent(int channelId, float time) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr || !(time > 0.0f) || channel->eventCount >= kMaxChannelEvents) return 0;
    const int id = NextTimedEventId();
    channel->events[channel->eventCount++] = ChannelEvent{time, id};
    return id;
}

int SkelObject::AddTimedEventWithId(int channelId, float time, int eventId) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr || eventId < 3 || !(time > 0.0f) || channel->eventCount >= kMaxChannelEvents) return 0;
    channel->events[channel->eventCount++] = ChannelEvent{time, eventId};
    return 1;
}

int SkelObject::RemoveTimedEvent(int channelId, int eventId) {
    SkelChannel* channel = FindChannelById(channelId);
    if (channel == nullptr) return 0;
    for (std::uint32_t e = 0; e < channel->eventCount; ++e)
        if (channel->events[e].id == eventId) {
            channel->events[e] = channel->events[--channel->eventCount];
            return 1;
        }
    return 0;
}

// [SECTION] Watchers and listeners.

namespace {

template <typename Entry>
Entry* FindEntry(KDLList& list, SkelListener listener, void* context, KDLLink** where) {
    for (KDLLink* link = list.head; link != nullptr; link = link->next) {
        auto* entry = static_cast<Entry*>(link->item);
        if (entry->listener == listener && entry->context == context) {
            if (where != nullptr) *where = link;
            return entry;
        }
    }
    return nullptr;
}

}  // namespace

int SkelObject::AddWatcher(SkelListener listener, void* context) {
    if (listener == nullptr || FindEntry<ListenerEntry>(watchers_, listener, context, nullptr) != nullptr) return 0;
    auto* entry = new ListenerEntry{{}, listener, context};
    if (entry == nullptr) return 0;
    if (ListAppend(watchers_, entry) == nullptr) {
        delete entry;
        return 0;
    }
    return 1;
}

int SkelObject::RemoveWatcher(SkelListener listener, void* context) {
    KDLLink* link = nullptr;
    if (FindEntry<ListenerEntry>(watchers_, listener, context, &link) == nullptr) return 0;
    delete static_cast<ListenerEntry*>(ListUnlink(watchers_, link));
    return 1;
}

int SkelObject::AddListener(SkelListener listener, void* context) {
    if (listener == nullptr || FindEntry<ListenerEntry>(listeners_, listener, context, nullptr) != nullptr) return 0;
    auto* entry = new ListenerEntry{{}, listener, context};
    if (entry == nullptr) return 0;
    if (ListAppend(listeners_, entry) == nullptr) {
        delete entry;
        return 0;
    }
    return 1;
}

int SkelObject::RemoveListener(SkelListener listener, void* context) {
    KDLLink* link = nullptr;
    if (FindEntry<ListenerEntry>(listeners_, listener, context, &link) == nullptr) return 0;
    delete static_cast<ListenerEntry*>(ListUnlink(listeners_, link));
    return 1;
}

void SkelObject::NotifyWatchers(const SkelEvent& event) {
    for (KDLLink* link = watchers_.head; link != nullptr; link = link->next) {
        auto* entry = static_cast<ListenerEntry*>(link->item);
        entry->listener(*this, event, entry->context);
    }
}

void SkelObject::NotifyListeners(const SkelEvent& event) {
    for (KDLLink* link = listeners_.head; link != nullptr; link = link->next) {
        auto* entry = static_cast<ListenerEntry*>(link->item);
        entry->listener(*this, event, entry->context);
    }
}

// [SECTION] Device data.

RenderMesh* SkelObject::SkinnedRenderMesh(std::uint32_t index) {
    if (index >= geometryCount_ || geometries_[index].list == nullptr) return nullptr;
    RenderMesh* mesh = GeometryRenderMesh(geometries_[index]);
    if (mesh == nullptr || paletteBones_[index] == nullptr) return mesh;
    std::uint32_t first = 0;
    for (std::uint32_t s = 0; s < mesh->subMeshCount; ++s) {
        mesh->subMeshes[s].boneIndices = paletteBones_[index] + first;
        first += mesh->subMeshes[s].vertexCount;
    }
    return mesh;
}

int SkelObject::ReleaseOwnDeviceData() {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return 0;
    for (std::uint32_t g = 0; g < geometryCount_; ++g)
        if (geometries_[g].list != nullptr && geometries_[g].renderMesh.subMeshes != nullptr)
            device->ReleaseMeshData(&geometries_[g].renderMesh);
    return 1;
}

int SkelObject::CreateOwnDeviceData() {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return 0;
    for (std::uint32_t g = 0; g < geometryCount_; ++g)
        if (RenderMesh* mesh = SkinnedRenderMesh(g)) device->PrepareMeshBatches(mesh);
    return 1;
}
