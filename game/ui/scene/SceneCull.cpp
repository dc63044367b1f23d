// Scene culling by bounding sphere and box against the view planes.
#include "game/ui/scene/SceneCull.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/node/KNode.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/mesh/Geometry.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/skelobject/SkelObject.h"

namespace {

Vector3 Apply(const Matrix34& m, const Vector3& p) {
    return Vector3{m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
                   m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
                   m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
}

float Side(const Plane& plane, const Vector3& p) { return plane.nx * p.x + plane.ny * p.y + plane.nz * p.z - plane.d; }

// The largest stretch of the matrix's axes: a scaled node's sphere grows with it.
float LargestScale(const Matrix34& m) {
    float largest = 0.0f;
    for (int column = 0; column < 3; ++column)
        largest = std::max(largest, std::sqrt(m.m[0][column] * m.m[0][column] + m.m[1][column] * m.m[1][column] +
                                              m.m[2][column] * m.m[2][column]));
    return largest;
}

bool SphereOutside(const NodeBounds& bounds, const Matrix34& m, const PlaneSet& planes) {
    const Vector3 centre = Apply(m, bounds.sphereCentre);
    const float radius = bounds.radius * LargestScale(m);
    const int count = std::clamp(planes.count, 0, kPlaneSetCapacity);
    for (int i = 0; i < count; ++i)
        if (Side(planes.planes[i], centre) < -radius) return true;
    return false;
}

bool BoxOutside(const NodeBounds& bounds, const Matrix34& m, const PlaneSet& planes) {
    Vector3 low{1e30f, 1e30f, 1e30f};
    Vector3 high{-1e30f, -1e30f, -1e30f};
    for (int corner = 0; corner < 8; ++corner) {
        const Vector3 p = Apply(m, Vector3{(corner & 1) != 0 ? bounds.boxMax.x : bounds.boxMin.x,
                                           (corner & 2) != 0 ? bounds.boxMax.y : bounds.boxMin.y,
                                           (corner & 4) != 0 ? bounds.boxMax.z : bounds.boxMin.z});
        low = Vector3{std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = Vector3{std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const int count = std::clamp(planes.count, 0, kPlaneSetCapacity);
    for (int i = 0; i < count; ++i) {
        const Plane& plane = planes.planes[i];
        // The corner of the box farthest along the plane's normal.
        const Vector3 far{plane.nx >= 0 ? high.x : low.x, plane.ny >= 0 ? high.y : low.y,
                          plane.nz >= 0 ? high.z : low.z};
        if (Side(plane, far) < 0.0f) return true;
    }
    return false;
}

struct Frame {
    KNode* node;
    KNode* reference;
    KNode* nextChild;
    int result;
};

// The node's own part, after its children: 1 when it was handed to the sink or culled by
// its box, else 0.
int CullOwn(CullSink& sink, KNode& node, CullState& state, KNode* reference) {
    Matrix34 world;
    node.GetWorldMatrix(world);
    if (reference != nullptr) {
        Matrix34 referenceWorld;
        reference->GetWorldMatrix(referenceWorld);
        Matrix34Multiply(referenceWorld, world, state.matrix);
    } else {
        state.matrix = world;
    }
    const bool skinned = node.IsKindOf(SkelObject::StaticTypeId());
    if ((node.Flags() & kCullDrawable) == 0 && !skinned) return 0;
    if ((node.Flags() & kCullAlwaysDraw) == 0 && SphereOutside(node.Bounds(), state.matrix, state.planes)) return 0;
    if (BoxOutside(node.Bounds(), state.matrix, state.planes)) return 1;
    if (skinned)
        sink.DrawSkinned(static_cast<SkelObject&>(node), state.matrix);
    else
        sink.DrawMesh(node, state.matrix);
    return 1;
}

KNode* ReferenceFor(KNode& node, KNode* inherited) {
    KNode* parent = node.Parent();
    if (parent != nullptr && parent->IsKindOf(Bone::StaticTypeId())) return static_cast<Bone*>(parent)->SkinnedOwner();
    return inherited;
}

}  // namespace

int CullNodeTree(CullSink& sink, KNode* node, CullState& state, KNode* referenceNode) {
    if (node == nullptr || (node->Flags() & kCullSkipSubtree) != 0) return 0;
    std::vector<Frame> stack;
    stack.push_back(Frame{node, ReferenceFor(*node, referenceNode), node->FirstChild(), 0});
    for (;;) {
        Frame& top = stack.back();
        if (KNode* child = top.nextChild) {
            top.nextChild = child->NextSibling();
            if ((child->Flags() & kCullSkipSubtree) != 0) continue;
            stack.push_back(Frame{child, ReferenceFor(*child, top.reference), child->FirstChild(), 0});
            continue;
        }
        const int result = top.result | CullOwn(sink, *top.node, state, top.reference);
        stack.pop_back();
        if (stack.empty()) return result;
        stack.back().result |= result;
    }
}

void DeviceCullSink::DrawMesh(KNode& node, const Matrix34& world) {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr || !node.IsKindOf(Object::StaticTypeId())) return;
    RenderMesh* mesh = GeometryRenderMesh(static_cast<Object&>(node).GetGeometry());
    if (mesh == nullptr) return;
    RenderTransform transform;
    transform.world = world;
    device->SubmitMesh(nullptr, mesh, transform);
}

void DeviceCullSink::DrawSkinned(SkelObject& object, const Matrix34& world) {
    OpenGLRenderDevice* device = RenderDevice();
    if (device == nullptr) return;
    RenderTransform transform;
    transform.world = world;
    for (std::uint32_t i = 0; i < object.GeometryCount(); ++i)
        if (RenderMesh* mesh = object.SkinnedRenderMesh(i)) device->SubmitMesh(&object, mesh, transform);
}
