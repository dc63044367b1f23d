// NodeDrawer: where the world's draw passes send what they draw. The in-game render gives one
// that culls against the view and submits to the render device; tests give one that records.
#pragma once

#include "engine/core/math/MathTypes.h"

class KNode;
struct PlaneSet;

class NodeDrawer {
public:
    virtual ~NodeDrawer() = default;
    // The view's clip planes; null draws everything.
    virtual const PlaneSet* Frustum() const = 0;
    // One node's own mesh under the given world matrix (its children are not drawn).
    virtual void DrawMesh(KNode& node, const Matrix34& world) = 0;
    // The node and its subtree, each culled against the frustum on its own.
    virtual void DrawTree(KNode& node) = 0;
};
