// Helpers the level objects share.
#include "game/world/objects/ObjectParts.h"

#include "engine/core/node/Animation.h"
#include "engine/core/node/AnimationPlayer.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/ResourceCache.h"
#include "game/world/pathanim/PathAnim.h"

KNode* ModelPart(KNode* model, const char* name) { return model != nullptr ? FindNodeByName(model, name) : nullptr; }

void RebuildNode(KNode* node) {
    if (node == nullptr) return;
    node->Transform().flags |= kTransformPositionChanged;
    BuildTransform(node->Transform());
}

void SetPartPosition(KNode* node, const Vector3& position) {
    if (node == nullptr) return;
    node->Transform().position = position;
    RebuildNode(node);
}

void SetPartRotation(KNode* node, const Quaternion& rotation) {
    if (node == nullptr) return;
    node->Transform().rotation = rotation;
    RebuildNode(node);
}

void SetPartScale(KNode* node, const Vector3& scale) {
    if (node == nullptr) return;
    node->Transform().scale = scale;
    RebuildNode(node);
}

void SetPartScale(KNode* node, float scale) { SetPartScale(node, Vector3{scale, scale, scale}); }

void MovingPart::Bind(KNode* model, const char* name) {
    node = ModelPart(model, name);
    rest = node != nullptr ? node->Transform().position : Vector3{0, 0, 0};
}

void MovingPart::Place(const Vector3& d) const {
    SetPartPosition(node, Vector3{rest.x + d.x, rest.y + d.y, rest.z + d.z});
}

Animation* CachedAnimation(const char* name) {
    auto* animation = static_cast<Animation*>(GlobalResourceCache().GetAnimation(name));
    if (animation == nullptr) return nullptr;
    // A first load comes back at count 0, owned by the cache alone, and a later one with a
    // reference added: either way the caller ends up with exactly one reference of its own, so
    // that its release never deletes what the cache still holds.
    if (animation->AddRef() >= 2) animation->Release();
    return animation;
}

void ReleaseAnimation(Animation*& animation) {
    if (animation != nullptr) animation->Release();
    animation = nullptr;
}

int PlayOnNode(KNode* node, Animation* animation, float fade, bool loop) {
    if (node == nullptr || animation == nullptr) return -1;
    return node->PlayAnimation(animation, 1.0f, loop ? kPlayLoop : 0, fade, 0.0f);
}

void StopOnNode(KNode* node, int playId, float fade) {
    if (node != nullptr) node->StopAnimationById(playId, fade);
}

PathAnim* LoadOwnedPath(const char* name, bool looping) {
    auto* path = new PathAnim();
    if (path == nullptr) return nullptr;
    if (!LoadPathAnimation(*path, name)) {
        delete path;
        return nullptr;
    }
    path->looping = looping ? 1 : 0;
    return path;
}

void DeletePath(PathAnim*& path) {
    delete path;
    path = nullptr;
}
