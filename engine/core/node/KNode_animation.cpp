// KNode's animation player: playing, stopping, the per-frame update and its queries, and
// the firing of animation events.
#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeAnimation.h"

namespace {

AnimationEventHandler animationEventHandler = nullptr;

}  // namespace

void SetAnimationEventHandler(AnimationEventHandler handler) { animationEventHandler = handler; }
AnimationEventHandler GetAnimationEventHandler() { return animationEventHandler; }

void FreeSceneNodeLists() {
    KDLList& list = AnimatedNodes();
    for (KDLLink* link = list.head; link != nullptr; link = link->next)
        static_cast<KNode*>(link->item)->flags_ &= ~kNodeAnimated;
    ListReset(list);
    FreeAnimationPlayerPool();
}

void KNode::DetachPlayer() {
    if (player_ == nullptr) return;
    AnimationPlayer* player = player_;
    player_ = nullptr;
    player->animation->Release();
    ReturnAnimationPlayer(player);
}

void KNode::LeaveAnimatedList() {
    if ((flags_ & kNodeAnimated) == 0) return;
    flags_ &= ~kNodeAnimated;
    KDLList& list = AnimatedNodes();
    for (KDLLink* link = list.head; link != nullptr; link = link->next) {
        if (link->item == this) {
            ListUnlink(list, link);
            return;
        }
    }
}

int KNode::PlayAnimation(Animation* animation, float speed, DWORD playFlags, float fade, float startTime) {
    if (animation == nullptr || !animation->IsKindOf(NodeAnimation::StaticTypeId())) return -1;
    auto* nodeAnimation = static_cast<NodeAnimation*>(animation);
    // Without keys there is nothing to play (and no frame to take a modulo of).
    if (nodeAnimation->FrameCount() == 0 || nodeAnimation->Positions() == nullptr) return -1;
    DetachPlayer();
    if ((flags_ & kNodeAnimated) == 0 && ListAppend(AnimatedNodes(), this) != nullptr) flags_ |= kNodeAnimated;
    AnimationPlayer* player = TakeAnimationPlayer();
    if (player == nullptr) return -1;
    nodeAnimation->AddRef();
    player->animation = nodeAnimation;
    player->playId = NextPlayId();
    player->playFlags = playFlags;
    player->currentTime = 0.0f;
    player->startTime = startTime;
    player->endTime = (playFlags & kPlayLoop) != 0
                          ? -1.0f
                          : static_cast<float>(nodeAnimation->FrameCount() - 1) + startTime;
    player->rate = 1.0f;
    player->speed = speed;
    player->fade = fade;
    player->basePosition = transform_.position;
    player->baseRotation = transform_.rotation;
    player->baseScale = transform_.scale;
    player_ = player;
    return player->playId;
}

namespace {

// The player ends `fade` frames from now; without a fade it goes at once (true).
bool EndsNow(AnimationPlayer& player, float fade) {
    player.fade = fade;
    player.endTime = player.currentTime + fade;
    return !(fade > 0.0f);
}

}  // namespace

int KNode::StopAnimation(Animation* animation, float fade) {
    if (player_ == nullptr || animation == nullptr || player_->animation != animation) return 0;
    if (EndsNow(*player_, fade)) DetachPlayer();
    return 1;
}

int KNode::StopAnimationById(int playId, float fade) {
    if (player_ == nullptr || player_->playId != playId) return 0;
    if (EndsNow(*player_, fade)) DetachPlayer();
    return 1;
}

int KNode::StopAnimations(float fade) {
    if (player_ != nullptr && EndsNow(*player_, fade)) DetachPlayer();
    return 1;
}

int KNode::UpdateAnimation(float frameTime) {
    if (player_ == nullptr) return 1;
    AnimationPlayer& player = *player_;
    if ((player.playFlags & kPlayHeld) != 0) return 0;
    player.currentTime += frameTime * player.rate * player.animation->FrameRate();
    if (player.endTime > 0.0f && player.currentTime > player.endTime) player.currentTime = player.endTime;
    const float t = player.currentTime - player.startTime;
    if (!(t >= 0.0f)) return 0;
    if (PlayerPose(player, transform_.position, transform_.rotation, transform_.scale))
        transform_.flags |= kTransformDirty;
    if (player.endTime >= 0.0f && t >= player.endTime - player.startTime) {
        DetachPlayer();
        return 1;
    }
    return 0;
}

int KNode::IsAnimationFinished() { return 0; }
int KNode::IsAnimationAllowed() { return 1; }

int KNode::SetAnimationFlag(int playId) {
    if (player_ == nullptr || player_->playId != playId) return 0;
    player_->playFlags |= kPlayHeld;
    return 1;
}

int KNode::ClearAnimationFlag(int playId) {
    if (player_ == nullptr || player_->playId != playId) return 0;
    player_->playFlags &= ~kPlayHeld;
    return 1;
}

int KNode::GetAnimationFlag(int playId) {
    if (player_ == nullptr || player_->playId != playId) return 0;
    return static_cast<int>(player_->playFlags & kPlayHeld);
}

int KNode::HasAnimation() { return player_ != nullptr ? 1 : 0; }
int KNode::IsAnimationId(int playId) { return player_ != nullptr && player_->playId == playId ? 1 : 0; }

int KNode::IsAnimation(Animation* animation) {
    return player_ != nullptr && animation != nullptr && player_->animation == animation ? 1 : 0;
}

int KNode::SetChannelSpeed(int, float) { return 0; }
int KNode::SetChannelWeight(int, float) { return 0; }
int KNode::AddTimedEventWithId(int, float, int) { return 0; }
int KNode::RemoveTimedEvent(int, int) { return 0; }

float KNode::GetAnimationTime(int playId) {
    return player_ != nullptr && player_->playId == playId ? player_->currentTime : -1.0f;
}

int KNode::SetAnimationTime(int playId, float time) {
    if (player_ == nullptr || player_->playId != playId) return 0;
    player_->currentTime = time;
    return 1;
}

int KNode::RewindAnimation(int playId) {
    if (player_ == nullptr || player_->playId != playId) return 0;
    player_->currentTime = player_->startTime;
    return 1;
}

int KNode::GetAnimationId(Animation* animation) {
    return player_ != nullptr && animation != nullptr && player_->animation == animation ? player_->playId : 0;
}

void KNode::FireAnimationEvent(const AnimationEvent& event) {
    KNode* placedAt = event.positionNode.IsEmpty() ? nullptr : FindNodeByName(this, event.positionNode.Text());
    if (placedAt == nullptr) placedAt = this;
    KNode* turnedBy = event.rotationNode.IsEmpty() ? nullptr : FindNodeByName(this, event.rotationNode.Text());
    if (turnedBy == nullptr) turnedBy = placedAt;

    PlacedAnimationEvent placed{&event, this, placedAt, {0, 0, 0}, kIdentityQuaternion};
    Matrix34 world;
    placedAt->GetWorldMatrix(world);
    Matrix34TransformPoint(world, event.positionOffset, placed.position);
    turnedBy->GetWorldMatrix(world);
    Quaternion worldRotation;
    QuaternionFromMatrix34(world, worldRotation);
    QuaternionMultiply(worldRotation, event.rotation, placed.rotation);
    if (animationEventHandler != nullptr) animationEventHandler(placed);
}
