// SkelObject: the skinned, skeleton-animated scene object. It owns up to eight geometries
// with per-vertex bone weights (skin records), the Bone nodes hung below it, and the
// animation channels that play SkelAnimations on those bones with blending, timed events,
// listeners and root motion. The render device draws it through the matrix palette: each
// bone's skin matrix (its world matrix times the inverse of its bind matrix).
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/node/KNode.h"
#include "engine/render/RenderMesh.h"
#include "engine/resources/mesh/Geometry.h"
#include "engine/resources/skelobject/SkelChannel.h"
#include "platform/base/Types.h"

class Bone;
class SkelAnimation;
struct MeshText;

constexpr std::uint32_t kMaxSkelGeometries = 8;
constexpr std::uint32_t kSkinRecordSize = 28;

// Options.
constexpr DWORD kSkelOptionBit0 = 0x1;
constexpr DWORD kSkelUpdateSuspended = 0x2;
constexpr DWORD kSkelNoDeviceSkinning = 0x10;
constexpr DWORD kSkelBonesFixed = 0x20;  // bones not moved with the object
constexpr DWORD kSkelMemoryOnly = 0x10000000;
constexpr DWORD kSkelBonesRebuilt = 0x20000000;
constexpr DWORD kSkelDefaultOptions = 0x21;

// Play flags beyond looping (1) and the caller's flag (2).
constexpr DWORD kSkelPlayAutoUpdate = 0x4;
constexpr DWORD kSkelPlayFadeBeforeEnd = 0x10;
// Animation flag: its channels stay behind all others.
constexpr DWORD kSkelAnimationLast = 0x40;

// One vertex's binding (also its 28-byte file form).
struct SkinRecord {
    std::uint32_t influenceCount;
    std::uint16_t bones[4];
    float weights[4];
};
static_assert(sizeof(SkinRecord) == kSkinRecordSize, "a skin record is kept as it is stored");

// What listeners are told: 0 played, 1 ended, 2 stopped, 3 paused or resumed, 4 skipped to
// the end, 5 speed, 6 weight, 7 timed event.
struct SkelEvent {
    int type;
    int animationId;
    int channelId;
    DWORD playFlags;
    float blendTime;
    float fadeTime;
    int eventId;
};
using SkelListener = void (*)(KNode& object, const SkelEvent& event, void* context);

// The engine's switch that leaves skin records unread (off at start).
void SetSkipSkinData(bool skip);
bool SkipSkinData();
// Skinned objects updated in the current engine frame, and the frame counter they go by.
std::uint32_t AnimatedObjectsThisFrame();
void AdvanceSkelFrame();

class SkelObject : public KNode, public SkinnedOwner {
    KEL_DECLARE_TYPE(SkelObject, KNode, "SkelObject")

public:
    SkelObject();
    // Unless an instance: the skin arrays; the bone array, channels (back to the pool),
    // listener lists and geometries.
    ~SkelObject() override;

    KNode* CreateInstance(void* argument) override;
    // KNode's, then the header words (options without kSkelMemoryOnly), the geometries
    // shared (kGeometryShared) and the skin arrays shared.
    void InitClone(KNode& copy) override;
    const char* GetClassId() const override;
    DWORD GetOptions() override;
    void SetOptions(DWORD mask, DWORD value) override;
    void SetPosition(const Vector3& position) override;
    void SetRotation(const Quaternion& rotation) override;
    int RayTest(const Vector3& start, const Vector3& end, void* userData, KNode** hitNode, float* hitValue,
                Vector3* hitPoint, DWORD flags) override;
    // The per-frame update: 1 when no channel is left (or the skin data was skipped).
    int UpdateAnimation(float frameTime) override;
    int IsAnimationFinished() override;
    // The channel id; -1 unless a SkelAnimation of exactly this object's bone count.
    int PlayAnimation(Animation* animation, float blendTime, DWORD playFlags, float fadeTime,
                      float startOffset) override;
    int StopAnimation(Animation* animation, float fade) override;
    int StopAnimationById(int channelId, float fade) override;
    int StopAnimations(float fade) override;
    int SetAnimationFlag(int channelId) override;
    int ClearAnimationFlag(int channelId) override;
    int GetAnimationFlag(int channelId) override;
    int HasAnimation() override;
    int IsAnimationId(int channelId) override;
    int IsAnimation(Animation* animation) override;
    int SetChannelSpeed(int channelId, float speed) override;
    int SetChannelWeight(int channelId, float weight) override;
    int AddTimedEventWithId(int channelId, float time, int eventId) override;
    int RemoveTimedEvent(int channelId, int eventId) override;
    float GetAnimationTime(int channelId) override;
    int SetAnimationTime(int channelId, float time) override;
    int RewindAnimation(int channelId) override;  // SkipToEnd
    int GetAnimationId(Animation* animation) override;
    int Load(FileStream& stream) override;
    int Save(FileStream& stream) override;

    // Its own operations.
    void ApplyRootMotion();
    int PlayAnimationRecord(SkelAnimation* animation, float blendTime, DWORD playFlags, float fadeTime,
                            float startOffset);
    int SkipToEnd(int channelId);
    float GetRemainingTimeById(int channelId);
    float GetRemainingTimeByAnimation(Animation* animation);
    SkelChannel* FindChannelByAnimation(Animation* animation);
    SkelChannel* FindChannelById(int channelId);
    float GetChannelSpeed(int channelId);
    float GetChannelWeight(int channelId);
    int AddWatcher(SkelListener listener, void* context);
    int RemoveWatcher(SkelListener listener, void* context);
    int AddListener(SkelListener listener, void* context);
    int RemoveListener(SkelListener listener, void* context);
    void NotifyWatchers(const SkelEvent& event);
    void NotifyListeners(const SkelEvent& event);
    // A new event id for a positive time on a channel with fewer than 16 events; else 0.
    int AddTimedEvent(int channelId, float time);

    // Building: geometry `index` takes the text's geometry with skin records from its bind
    // records, and the bones come from its skeleton. False (logged, nothing kept) for more
    // than 96 bones, a skin or child index outside its array, or a hierarchy that is not a
    // tree.
    bool BuildFromText(const MeshText& text, const char* name);

    // SkinnedOwner: the bones' skin matrices.
    std::uint32_t BoneCount() const override { return boneCount_; }
    const Matrix34& BoneWorldMatrix(std::uint32_t bone) const override { return skinMatrices_[bone]; }

    std::uint32_t GeometryCount() const { return geometryCount_; }
    Geometry& GetGeometry(std::uint32_t index) { return geometries_[index]; }
    const SkinRecord* Skin(std::uint32_t index) const { return skins_[index]; }
    Bone* GetBone(std::uint32_t index) const { return bones_ != nullptr ? bones_[index] : nullptr; }
    const Quaternion& BoneRotation(std::uint32_t index) const { return boneRotations_[index]; }
    float BoneValue(std::uint32_t index) const { return boneValues_[index]; }
    KDLList& Channels() { return channels_; }
    DWORD Options() const { return options_; }
    Vector3& RootMotion() { return rootMotion_; }
    // The render view of a geometry with each vertex's strongest bone in the palette.
    RenderMesh* SkinnedRenderMesh(std::uint32_t index);
    // That bone of each vertex of a geometry (counted through its sub-meshes); null without
    // skin records.
    const std::uint8_t* PaletteBones(std::uint32_t index) const { return paletteBones_[index]; }
    // Rebuilds the bones' matrices from the root bone down and the bounds from the bones.
    void RebuildBones();

protected:
    // The bone array from the Bone nodes found below, each at its index; the bounds.
    int PrepareOwn(void* argument) override;
    int ReleaseOwnDeviceData() override;
    int CreateOwnDeviceData() override;

private:
    struct ListenerEntry;

    void FreeSkins();
    void FreeChannels();
    void ReturnChannel(SkelChannel* channel, int eventType);
    bool StopChannel(SkelChannel* channel, float fade);
    void Notify(int type, const SkelChannel& channel);
    void AdvanceChannel(SkelChannel& channel, float step, KDLLink*& link);
    void BlendChannels();
    void MoveRoot();
    bool FillBoneArray();
    void JoinUpdateList();
    void LeaveUpdateList();
    bool AllocateBoneState(std::uint32_t boneCount);

    DWORD options_ = kSkelDefaultOptions;
    std::uint32_t boneCount_ = 0;
    std::uint32_t geometryCount_ = 1;
    DWORD savedWords_[2] = {0, 0};
    DWORD unsavedWord_ = 0;
    Geometry geometries_[kMaxSkelGeometries];
    SkinRecord* skins_[kMaxSkelGeometries] = {};
    std::uint8_t* paletteBones_[kMaxSkelGeometries] = {};
    Bone** bones_ = nullptr;
    Vector3 rootMotion_{0, 0, 0};
    Quaternion boneRotations_[kMaxSkelBones];
    float boneValues_[kMaxSkelBones] = {};
    Matrix34 skinMatrices_[kMaxSkelBones];
    Matrix34 inverseBinds_[kMaxSkelBones];
    std::uint32_t frameStamp_ = 0xFFFFFFFF;
    KDLList channels_;
    KDLList watchers_;
    KDLList listeners_;
    DWORD autoUpdate_ = 0;
    DWORD updateList_ = 0;
    bool skinSkipped_ = false;
};

// "Create_SkelObject" of the core module.
Interface* CreateSkelObject();
