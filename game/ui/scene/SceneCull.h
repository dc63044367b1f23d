// Culling a scene-node tree against the view: every node of the subtree that may show is
// handed to a sink (the render device, or a test's recorder), children before their parent;
// skip-flagged nodes hide their whole subtree. The walk keeps its own stack, so a deep tree
// cannot exhaust the thread's.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "platform/base/Types.h"

class KNode;
class SkelObject;

// Node flags the culling reads.
constexpr DWORD kCullSkipSubtree = 0x2000000;  // the node and everything below it are hidden
constexpr DWORD kCullDrawable = 0x80;          // the node has geometry of its own
constexpr DWORD kCullAlwaysDraw = 0x10000;     // the sphere test cannot cull it (the box test still can)

struct CullState {
    Matrix34 matrix = kIdentityMatrix34;  // the world matrix of the node being tested
    PlaneSet planes{};                    // inside a plane when n . p - d >= 0; no planes: all inside
};

class CullSink {
public:
    virtual ~CullSink() = default;
    virtual void DrawMesh(KNode& node, const Matrix34& world) = 0;
    virtual void DrawSkinned(SkelObject& object, const Matrix34& world) = 0;
};

// 1 when the node or a node below it was handed to the sink (a node culled by its box counts
// as processed), else 0. Under a bone, the reference node becomes the bone's skinned owner;
// with a reference node, the matrix tested is the reference's world matrix times the node's.
int CullNodeTree(CullSink& sink, KNode* node, CullState& state, KNode* referenceNode);

// The sink that submits to the render device: mesh nodes their geometry, skinned objects
// each of their skinned meshes.
class DeviceCullSink : public CullSink {
public:
    void DrawMesh(KNode& node, const Matrix34& world) override;
    void DrawSkinned(SkelObject& object, const Matrix34& world) override;
};
