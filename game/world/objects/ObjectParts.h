// Helpers the level objects share: the named parts of a model, rebuilding a node's transform,
// animations from the resource cache and playing them, path animations by name.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"

class Animation;
class KNode;
class PathAnim;

// The model of a type code and its offset inside the tile.
struct ModelShape {
    const char* model;
    Vector3 offset;
};

// The node of that name below the model; null without a model or such a node.
KNode* ModelPart(KNode* model, const char* name);
// Marks the transform dirty and builds it at once; nothing for null.
void RebuildNode(KNode* node);
void SetPartPosition(KNode* node, const Vector3& position);
void SetPartRotation(KNode* node, const Quaternion& rotation);
void SetPartScale(KNode* node, float scale);
void SetPartScale(KNode* node, const Vector3& scale);

// A named part that the object moves relative to where the model places it: a scene file may
// give a leaf or a top its own position, and every motion starts from there.
struct MovingPart {
    KNode* node = nullptr;  // the model's, not owned
    Vector3 rest{0, 0, 0};

    // Finds the part below the model and keeps its position as the rest position.
    void Bind(KNode* model, const char* name);
    // Rest position + displacement; nothing without the part.
    void Place(const Vector3& displacement) const;
};

// The animation of that name from the resource cache with a reference held; null when absent.
Animation* CachedAnimation(const char* name);
void ReleaseAnimation(Animation*& animation);
// The play id; -1 without a node or animation.
int PlayOnNode(KNode* node, Animation* animation, float fade, bool loop);
void StopOnNode(KNode* node, int playId, float fade);

// A path animation of that name, looping or played once; null when it does not load (the
// failure is in the log).
PathAnim* LoadOwnedPath(const char* name, bool looping);
void DeletePath(PathAnim*& path);
