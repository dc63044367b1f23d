// The skinned object's per-frame update: channel times and events, the blend of the
// channels' bone poses, root motion, and the bone matrices and bounds.
#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/node/NodeTransform.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/skelobject/SkelObject.h"

std::uint32_t CurrentSkelFrame();
void CountAnimatedObject();

namespace {

constexpr float kBlendEpsilon = 0.0001f;
// The blend share's steepness: log2(10), so that a weight ten times the other's takes
// about a tenth of the blend.
constexpr float kShareSteepness = 3.321928f;

// Bounds flags in bits 4-6 of the extra word: set without bit 4, the node is left out.
bool BoundsExcluded(DWORD extraWord) {
    const DWORD bits = extraWord & 0x70;
    return bits != 0 && (bits & 0x10) == 0;
}

float FadeFactor(const SkelChannel& channel) {
    float fadeIn = 1.0f;
    const float elapsed = std::fmax(channel.currentTime, 0.0f);
    if (channel.blendTime > 0.0f && elapsed < channel.blendTime) fadeIn = elapsed / channel.blendTime;
    float fadeOut = 1.0f;
    if (channel.fadeTime > 0.0f && channel.endTime > 0.0f) {
        const float fadeStart = channel.endTime - channel.fadeTime;
        if (channel.currentTime > fadeStart)
            fadeOut = std::fmax(0.0f, (channel.endTime - channel.currentTime) / channel.fadeTime);
    }
    return fadeIn * fadeOut;
}

// The share a later channel takes of a bone: equal weights and fades give one half; a
// heavier accumulated weight or fade keeps more of what is there.
float BlendShare(float accumulatedWeight, float ownWeight, float accumulatedFade, float ownFade) {
    const float ratio = ownWeight > kBlendEpsilon ? accumulatedWeight / ownWeight : 1.0e6f;
    const float byWeight = 1.0f / (std::exp2(std::log(ratio) * kShareSteepness) + 1.0f);
    const float held = (1.0f - byWeight) * accumulatedFade;
    const float taken = byWeight * ownFade;
    return held + taken > kBlendEpsilon ? taken / (held + taken) : 1.0f;
}

}  // namespace

int SkelObject::UpdateAnimation(float frameTime) {
    if ((Flags() & kNodeRaySkipSubtree) != 0 || frameStamp_ == CurrentSkelFrame() ||
        (options_ & kSkelUpdateSuspended) != 0 || BoundsExcluded(ExtraWord()))
        return 0;
    if (skinSkipped_) return 1;
    frameStamp_ = CurrentSkelFrame();
    options_ &= ~kSkelBonesRebuilt;
    CountAnimatedObject();

    KDLLink* link = channels_.head;
    while (link != nullptr) {
        KDLLink* next = link->next;
        auto* channel = static_cast<SkelChannel*>(link->item);
        const float step = frameTime * channel->speed * channel->animation->FrameRate();
        AdvanceChannel(*channel, step, link);
        link = next;
    }
    BlendChannels();
    MoveRoot();
    RebuildBones();
    if (channels_.count == 0) {
        LeaveUpdateList();
        return 1;
    }
    return 0;
}

// Moves the channel's time, fires the events passed and ends or wraps it; `link` becomes
// null when the channel went back to the pool.
void SkelObject::AdvanceChannel(SkelChannel& channel, float step, KDLLink*& link) {
    if ((channel.flags & kChannelPaused) != 0) return;
    if (channel.startDelay > 0.0f) {
        channel.startDelay -= step;
        return;
    }
    const SkelAnimation& animation = *channel.animation;
    const float frames = static_cast<float>(animation.FrameCount());
    const float before = channel.currentTime;
    float after = before + (std::isfinite(step) ? step : 0.0f);
    if (channel.endTime > 0.0f && after > channel.endTime) after = channel.endTime;
    // Root motion follows the first channel's track between the two times.
    if (link == channels_.head && animation.FirstTrack() != nullptr && frames > 0.0f) {
        const std::uint32_t count = animation.FrameCount();
        auto at = [&](float time) {
            const std::uint32_t frame = static_cast<std::uint32_t>(std::fmax(time, 0.0f)) % count;
            return animation.FirstTrack()[frame];
        };
        Vector3 delta;
        if ((channel.flags & kChannelLooping) != 0 && after >= frames) {
            Vector3 toEnd;
            Vector3Sub(animation.FirstTrack()[count - 1], at(before), toEnd);
            Vector3Sub(at(after - frames), animation.FirstTrack()[0], delta);
            Vector3AddInPlace(delta, toEnd);
        } else {
            Vector3Sub(at(after), at(before), delta);
        }
        Vector3AddInPlace(rootMotion_, delta);
    }
    // Timed events and the animation's own events passed in (before, after].
    for (std::uint32_t e = 0; e < channel.eventCount; ++e)
        if (channel.events[e].time > before && channel.events[e].time <= after) {
            SkelEvent event{7, 0, channel.id, channel.flags, channel.blendTime, channel.fadeTime, channel.events[e].id};
            NotifyListeners(event);
        }
    for (const KDLLink* e = animation.Events().head; e != nullptr; e = e->next) {
        const auto* event = static_cast<const AnimationEvent*>(e->item);
        if (event->frame > before && event->frame <= after) FireAnimationEvent(*event);
    }
    channel.currentTime = after;
    if ((channel.flags & kChannelLooping) != 0) {
        if (frames > 0.0f && channel.currentTime >= frames) channel.currentTime = std::fmod(channel.currentTime, frames);
        // A looping channel stopped with a fade ends at its end time too.
        if (channel.endTime < 0.0f) return;
    }
    if (channel.endTime >= 0.0f && channel.currentTime >= channel.endTime) {
        ReturnChannel(&channel, 1);
        link = nullptr;
    }
}

void SkelObject::BlendChannels() {
    float accumulatedWeight[kMaxSkelBones];
    float accumulatedFade[kMaxSkelBones];
    const std::uint32_t bones = boneCount_ < kMaxSkelBones ? boneCount_ : kMaxSkelBones;
    bool first = true;
    for (KDLLink* link = channels_.head; link != nullptr; link = link->next) {
        auto& channel = *static_cast<SkelChannel*>(link->item);
        if (channel.startDelay > 0.0f) continue;
        const SkelAnimation& animation = *channel.animation;
        const bool looping = (channel.flags & kChannelLooping) != 0;
        const float frame = (channel.flags & kChannelPaused) != 0 ? channel.pausedTime : channel.currentTime;
        const float fade = FadeFactor(channel);
        for (std::uint32_t b = 0; b < bones; ++b) {
            std::uint32_t keyIndex = channel.keyIndex[b];
            SkelBonePose pose{kIdentityQuaternion, 0.0f};
            if (!animation.SampleBone(b, frame, looping, keyIndex, pose)) continue;
            channel.keyIndex[b] = static_cast<std::uint16_t>(keyIndex);
            const float weight = channel.weight * animation.Bones()[b].weight;
            if (first || accumulatedWeight[b] <= kBlendEpsilon) {
                boneRotations_[b] = pose.rotation;
                boneValues_[b] = pose.value;
                accumulatedWeight[b] = weight;
                accumulatedFade[b] = fade;
                continue;
            }
            if (fade <= kBlendEpsilon) continue;
            const float share = BlendShare(accumulatedWeight[b], weight, accumulatedFade[b], fade);
            Quaternion blended;
            QuaternionSlerp(boneRotations_[b], pose.rotation, share, blended);
            boneRotations_[b] = blended;
            boneValues_[b] += (pose.value - boneValues_[b]) * share;
            accumulatedWeight[b] += (weight - accumulatedWeight[b]) * share;
            accumulatedFade[b] += (fade - accumulatedFade[b]) * share;
        }
        if (first) {
            // Bones the first channel left unsampled start from nothing.
            for (std::uint32_t b = 0; b < bones; ++b)
                if (animation.Bones()[b].keyCount == 0) accumulatedWeight[b] = accumulatedFade[b] = 0.0f;
        }
        first = false;
    }
    // Without a channel the bones keep their rest rotations.
    for (std::uint32_t b = 0; b < bones && bones_ != nullptr; ++b)
        if (bones_[b] != nullptr && channels_.count != 0) bones_[b]->Transform().rotation = boneRotations_[b];
}

void SkelObject::MoveRoot() {
    if (autoUpdate_ != 0 && Vector3LengthSquared(rootMotion_) > 0.0f) {
        Matrix34 world;
        GetWorldMatrix(world);
        Vector3 movement;
        Matrix34TransformVector(world, rootMotion_, movement);
        KNode* parent = Parent();
        if (parent != nullptr && (Flags() & kNodeInheritTransform) != 0) {
            Matrix34 inverse;
            parent->GetInverseWorldMatrix(inverse);
            Vector3 local;
            Matrix34TransformVector(inverse, movement, local);
            movement = local;
        }
        const Vector3 position = Transform().position;
        Vector3 target;
        Vector3Add(position, movement, target);
        KNode* owner = parent == nullptr                          ? this
                       : (parent->Flags() & kNodeOwner) != 0 ? parent
                                                                 : parent->GetOwnerNode();
        KNode* hitNode = nullptr;
        Vector3 hitPoint{0, 0, 0};
        if (owner != this &&
            owner->RayTest(position, target, nullptr, &hitNode, nullptr, &hitPoint, 0xC0) != 0 && hitNode != nullptr) {
            target = hitPoint;
            KNode* hitOwner = hitNode->GetOwnerNode();
            if (hitOwner != owner && hitOwner != this && parent != nullptr) SetParent(hitOwner);
        }
        Transform().position = target;
        Transform().flags |= kTransformPositionChanged;
    }
    // The track moves the object; the root bone keeps its place.
    rootMotion_ = Vector3{0, 0, 0};
}

void SkelObject::ApplyRootMotion() {
    if ((options_ & kSkelBonesFixed) != 0 || bones_ == nullptr) return;
    for (std::uint32_t b = 0; b < boneCount_; ++b) {
        if (bones_[b] == nullptr) continue;
        NodeTransform& transform = bones_[b]->Transform();
        Vector3AddInPlace(transform.position, rootMotion_);
        transform.flags |= kTransformPositionChanged;
        BuildTransform(transform);
    }
}

void SkelObject::RebuildBones() {
    if (bones_ == nullptr || boneCount_ == 0) return;
    Matrix34 world;
    GetWorldMatrix(world);
    Matrix34 inverseWorld;
    GetInverseWorldMatrix(inverseWorld);
    // Every bone is marked first: a bone's world matrix reads its parents' local ones.
    for (std::uint32_t b = 0; b < boneCount_; ++b)
        if (bones_[b] != nullptr) bones_[b]->Transform().flags |= kTransformDirty;
    AxisBox box{{10000, 10000, 10000}, {-10000, -10000, -10000}};
    for (std::uint32_t b = 0; b < boneCount_; ++b) {
        Bone* bone = bones_[b];
        if (bone == nullptr) continue;
        Matrix34 boneWorld;
        bone->GetWorldMatrix(boneWorld);
        Matrix34Multiply(boneWorld, inverseBinds_[b], skinMatrices_[b]);
        const Vector3 position{boneWorld.m[0][3], boneWorld.m[1][3], boneWorld.m[2][3]};
        box.min = Vector3{std::fmin(box.min.x, position.x), std::fmin(box.min.y, position.y),
                          std::fmin(box.min.z, position.z)};
        box.max = Vector3{std::fmax(box.max.x, position.x), std::fmax(box.max.y, position.y),
                          std::fmax(box.max.z, position.z)};
    }
    AxisBox local;
    TransformBounds(inverseWorld, box, local);
    NodeBounds& bounds = Bounds();
    bounds.boxMin = local.min;
    bounds.boxMax = local.max;
    bounds.sphereCentre = Vector3{(local.min.x + local.max.x) * 0.5f, (local.min.y + local.max.y) * 0.5f,
                                  (local.min.z + local.max.z) * 0.5f};
    Vector3 diagonal;
    Vector3Sub(local.max, local.min, diagonal);
    bounds.radius = Vector3Length(diagonal) * 0.5f;
}

void SkelObject::SetPosition(const Vector3& position) {
    KNode::SetPosition(position);
    if (bones_ != nullptr && boneCount_ != 0 && (options_ & kSkelBonesFixed) == 0) {
        RebuildBones();
        options_ &= ~kSkelBonesRebuilt;
    }
}

void SkelObject::SetRotation(const Quaternion& rotation) {
    KNode::SetRotation(rotation);
    if (bones_ != nullptr && boneCount_ != 0 && (options_ & kSkelBonesFixed) == 0) {
        RebuildBones();
        options_ &= ~kSkelBonesRebuilt;
    }
}

int SkelObject::RayTest(const Vector3& start, const Vector3& end, void* userData, KNode** hitNode, float* hitValue,
                        Vector3* hitPoint, DWORD flags) {
    if ((flags & kRaySkipFlagged) != 0 && (Flags() & kNodeRaySkipSubtree) != 0) return 0;
    if (bones_ == nullptr) return 0;
    for (std::uint32_t b = 0; b < boneCount_; ++b) {
        if (bones_[b] == nullptr) continue;
        // A bone's collision node is a mesh node hung directly below it.
        for (KNode* child = bones_[b]->FirstChild(); child != nullptr; child = child->NextSibling()) {
            if (!child->IsKindOf(Object::StaticTypeId())) continue;
            if (child->RayTest(start, end, userData, nullptr, hitValue, hitPoint, flags) != 0) {
                if (hitNode != nullptr) *hitNode = bones_[b];
                return 1;
            }
        }
    }
    return 0;
}

bool SkelObject::FillBoneArray() {
    EngineFree(bones_);
    bones_ = nullptr;
    if (boneCount_ == 0) return true;
    bones_ = static_cast<Bone**>(EngineAlloc(sizeof(Bone*) * boneCount_));
    if (bones_ == nullptr) return false;
    for (std::uint32_t b = 0; b < boneCount_; ++b) bones_[b] = nullptr;
    WalkSubtree(*this, [&](KNode& node) {
        if (&node != this && node.IsKindOf(Bone::StaticTypeId())) {
            auto& bone = static_cast<Bone&>(node);
            const DWORD index = bone.Word(1);
            if (index < boneCount_ && bones_[index] == nullptr) bones_[index] = &bone;
        }
        return WalkStep::kDescend;
    });
    for (std::uint32_t b = 0; b < boneCount_; ++b) {
        if (bones_[b] == nullptr) continue;
        Matrix34 bind;
        Matrix34FromRotationAndPosition(bones_[b]->Bind().rotation, bones_[b]->Bind().position, bind);
        Matrix34InverseAffine(bind, inverseBinds_[b]);
        boneRotations_[b] = bones_[b]->Transform().rotation;
    }
    return true;
}

int SkelObject::PrepareOwn(void*) {
    if (!FillBoneArray()) return 1;
    RebuildBones();
    CreateOwnDeviceData();
    return 0;
}
