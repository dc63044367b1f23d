// The mesh node: geometry, collision record, device data, lighting, queries and its saved
// form.
#include "engine/resources/meshnode/MeshObject.h"

#include <cmath>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/resources/collision/FaceQueries.h"
#include "engine/resources/collision/FaceTree.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshBuild.h"

namespace {

MeshNodeRegistrar meshNodeRegistrar = nullptr;

// Bounds flags in bits 4-6 of the extra word: set without bit 4, the node is left out.
bool BoundsExcluded(DWORD extraWord) {
    const DWORD bits = extraWord & 0x70;
    return bits != 0 && (bits & 0x10) == 0;
}

// A node whose transform is its parent's (no parent, identity) needs no change of space.
bool NeedsLocalSpace(KNode& node) {
    if (node.Parent() != nullptr) return true;
    const NodeTransform& t = node.Transform();
    return t.position.x != 0 || t.position.y != 0 || t.position.z != 0 || t.rotation.x != 0 || t.rotation.y != 0 ||
           t.rotation.z != 0 || t.scale.x != 1 || t.scale.y != 1 || t.scale.z != 1 || t.pivot.x != 0 ||
           t.pivot.y != 0 || t.pivot.z != 0;
}

// The segment's closest approach to the sphere is within its radius.
bool SegmentMeetsSphere(const Vector3& start, const Vector3& end, const Vector3& centre, float radius) {
    Vector3 direction;
    Vector3Sub(end, start, direction);
    Vector3 toCentre;
    Vector3Sub(centre, start, toCentre);
    const float lengthSquared = Vector3LengthSquared(direction);
    float t = lengthSquared > 0.0f ? Vector3Dot(toCentre, direction) / lengthSquared : 0.0f;
    t = std::fmax(0.0f, std::fmin(1.0f, t));
    const Vector3 closest{start.x + direction.x * t - centre.x, start.y + direction.y * t - centre.y,
                          start.z + direction.z * t - centre.z};
    return Vector3LengthSquared(closest) <= radius * radius;
}

bool BoxesMeet(const AxisBox& a, const AxisBox& b) {
    return a.min.x <= b.max.x && a.max.x >= b.min.x && a.min.y <= b.max.y && a.max.y >= b.min.y &&
           a.min.z <= b.max.z && a.max.z >= b.min.z;
}

bool BoxMeetsSphere(const AxisBox& box, const Vector3& centre, float radius) {
    const float dx = std::fmax(std::fmax(box.min.x - centre.x, 0.0f), centre.x - box.max.x);
    const float dy = std::fmax(std::fmax(box.min.y - centre.y, 0.0f), centre.y - box.max.y);
    const float dz = std::fmax(std::fmax(box.min.z - centre.z, 0.0f), centre.z - box.max.z);
    return dx * dx + dy * dy + dz * dz <= radius * radius;
}

}  // namespace

void SetMeshNodeRegistrar(MeshNodeRegistrar registrar) { meshNodeRegistrar = registrar; }

void Matrix34FromRotationAndPosition(const Quaternion& rotation, const Vector3& position, Matrix34& out) {
    QuaternionToMatrix34(rotation, out);
    out.m[0][3] = position.x;
    out.m[1][3] = position.y;
    out.m[2][3] = position.z;
}

Object::Object() {
    SetFlagBits(kNodeMesh, true);
    geometry_.kind = 0;
    if (meshNodeRegistrar != nullptr) meshNodeRegistrar(*this, true);
}

Object::~Object() {
    if (meshNodeRegistrar != nullptr) meshNodeRegistrar(*this, false);
    ReleaseCollision();
    ReleaseGeometry(geometry_);
}

void Object::ReleaseCollision() { ReleaseCollisionRecord(collision_); }

KNode* Object::CreateInstance(void*) { return new Object(); }

const char* Object::GetClassId() const { return "libkel/Object"; }

Interface* CreateObject() { return new Object(); }

void Object::InitClone(KNode& copy) {
    KNode::InitClone(copy);
    if (!copy.IsKindOf(StaticTypeId())) return;
    auto& target = static_cast<Object&>(copy);
    target.ReleaseCollision();
    ReleaseGeometry(target.geometry_);
    target.geometryKind_ = geometryKind_;
    // The clone reads the source's arrays; its own render view is made on first use.
    target.geometry_.flags = geometry_.flags | kGeometryShared;
    target.geometry_.serial = NextGeometrySerial();
    target.geometry_.kind = geometry_.kind;
    target.geometry_.list = geometry_.list;
    target.geometry_.reserved = geometry_.reserved;
    target.geometry_.identifier = geometry_.identifier;
    target.collision_ = collision_;
    target.collision_.flags |= kCollisionShared;
}

void Object::CopyTo(KNode& target) {
    KNode::CopyTo(target);
    if (!target.IsKindOf(StaticTypeId())) return;
    auto& copy = static_cast<Object&>(target);
    copy.ReleaseCollision();
    copy.geometryKind_ = geometryKind_;
    CopyGeometry(geometry_, copy.geometry_);
    copy.collision_ = collision_;
    copy.collision_.flags |= kCollisionShared;
}

void ComputeGeometryBounds(KNode& node, const Geometry& geometry) {
    NodeBounds& bounds = node.Bounds();
    AxisBox box{};
    ComputeBoundingBox(geometry.list, box);
    bounds.boxMin = box.min;
    bounds.boxMax = box.max;
    ComputeBoundingSphere(geometry.list, bounds.sphereCentre, bounds.radius);
}

bool BuildCollisionRecord(const Geometry& geometry, CollisionRecord& collision) {
    FaceTree* tree = BuildFaceTree(geometry);
    if (tree == nullptr) return false;
    ReleaseCollisionRecord(collision);
    collision.flags = kCollisionFaceTree;
    collision.tree = tree;
    collision.faceCount = tree->faceCount;
    ComputeBoundingBox(geometry.list, collision.bounds);
    return true;
}

void ReleaseCollisionRecord(CollisionRecord& collision) {
    if ((collision.flags & kCollisionShared) == 0) delete collision.tree;
    collision = CollisionRecord{};
}

int ReleaseGeometryDeviceData(Geometry& geometry) {
    OpenGLRenderDevice* device = RenderDevice();
    RenderMesh* mesh = geometry.list != nullptr ? &geometry.renderMesh : nullptr;
    if (device == nullptr || mesh == nullptr || mesh->subMeshes == nullptr) return 0;
    device->ReleaseMeshData(mesh);
    return 1;
}

int CreateGeometryDeviceData(Geometry& geometry) {
    OpenGLRenderDevice* device = RenderDevice();
    RenderMesh* mesh = device != nullptr ? GeometryRenderMesh(geometry) : nullptr;
    if (mesh == nullptr) return 0;
    device->PrepareMeshBatches(mesh);
    return 1;
}

void LightGeometry(KNode& node, Geometry& geometry, void* argument) {
    if (argument == nullptr || geometry.list == nullptr || geometry.list->count == 0) return;
    Matrix34 world;
    node.GetWorldMatrix(world);
    LightVertices(geometry.list, *static_cast<const RenderLightSet*>(argument), world);
}

void Object::ComputeBounds() { ComputeGeometryBounds(*this, geometry_); }

bool Object::BuildCollision() { return BuildCollisionRecord(geometry_, collision_); }

int Object::ReleaseOwnDeviceData() { return ReleaseGeometryDeviceData(geometry_); }

int Object::CreateOwnDeviceData() { return CreateGeometryDeviceData(geometry_); }

int Object::PrepareOwn(void*) {
    CreateOwnDeviceData();
    return 0;
}

void Object::ApplyLighting(void* argument) { LightGeometry(*this, geometry_, argument); }

WalkStep Object::RayTestOwn(const RayQuery& query, RayHit& hit) {
    const DWORD flags = Flags();
    if ((query.flags & kRaySkipFlagged) != 0 && (flags & kNodeRaySkipOnRequest) != 0) return WalkStep::kSkip;
    // A hidden subtree is tested only where it asks to be skipped on request.
    if ((flags & kNodeRaySkipSubtree) != 0 && (flags & kNodeRaySkipOnRequest) == 0) return WalkStep::kSkip;
    if ((query.flags & kRayMaterialQuery) != 0 && (flags & kNodeRaySkipForMaterials) != 0) return WalkStep::kSkip;
    if (geometry_.list == nullptr) return WalkStep::kDescend;

    Vector3 start = query.start;
    Vector3 end = query.end;
    Matrix34 world = kIdentityMatrix34;
    const bool local = NeedsLocalSpace(*this);
    if (local) {
        GetWorldMatrix(world);
        Matrix34 inverse;
        GetInverseWorldMatrix(inverse);
        Matrix34TransformPoint(inverse, query.start, start);
        Matrix34TransformPoint(inverse, query.end, end);
    }
    const NodeBounds& bounds = Bounds();
    if (!SegmentMeetsSphere(start, end, bounds.sphereCentre, bounds.radius)) return WalkStep::kDescend;
    SegmentHit segmentHit;
    const int hitFaces = (collision_.flags & kCollisionFaceTree) != 0 && collision_.tree != nullptr
                             ? SegmentHitsFaceTree(*collision_.tree, geometry_, start, end, segmentHit, 0)
                             : SegmentHitsMesh(geometry_, start, end, segmentHit, 0);
    if (hitFaces == 0) return WalkStep::kDescend;
    ++hit.hits;
    hit.node = this;
    hit.value = static_cast<float>(segmentHit.side);
    if (local)
        Matrix34TransformPoint(world, segmentHit.point, hit.point);
    else
        hit.point = segmentHit.point;
    return WalkStep::kDescend;
}

int Object::RayTest(const Vector3& start, const Vector3& end, void* userData, KNode** hitNode, float* hitValue,
                    Vector3* hitPoint, DWORD flags) {
    const RayQuery query{start, end, userData, flags};
    RayHit hit;
    const WalkStep step = RayTestOwn(query, hit);
    int result = hit.hits != 0 ? 1 : 0;
    if (step == WalkStep::kDescend) {
        // KNode's walk over each child's subtree: no recursion through nested mesh nodes.
        for (KNode* child = FirstChild(); child != nullptr; child = child->NextSibling()) {
            RayHit childHit;
            if (child->KNode::RayTest(start, end, userData, &childHit.node, &childHit.value, &childHit.point, flags) !=
                0) {
                hit = childHit;
                result = 2;
            }
        }
    }
    if (result == 0) return 0;
    if (hitNode != nullptr) *hitNode = hit.node;
    if (hitValue != nullptr) *hitValue = hit.value;
    if (hitPoint != nullptr) *hitPoint = hit.point;
    return result;
}

WalkStep Object::CollectOverlappingOwn(const OverlapQuery& query, OverlapRecord* results, int capacity, int& count) {
    const DWORD flags = Flags();
    if ((flags & query.exclude) != 0 || (query.include != 0 && (flags & query.include) == 0) ||
        (flags & kNodeRaySkipSubtree) != 0)
        return WalkStep::kSkip;
    if ((query.exclude & kRayMaterialQuery) != 0 && (flags & kNodeRaySkipForMaterials) != 0) return WalkStep::kSkip;
    if (BoundsExcluded(ExtraWord())) return WalkStep::kSkip;
    AxisBox box = query.box;
    if (NeedsLocalSpace(*this)) {
        Matrix34 inverse;
        GetInverseWorldMatrix(inverse);
        TransformBounds(inverse, query.box, box);
    }
    const NodeBounds& bounds = Bounds();
    if (BoxesMeet(box, AxisBox{bounds.boxMin, bounds.boxMax}) &&
        BoxMeetsSphere(box, bounds.sphereCentre, bounds.radius)) {
        if (count < capacity) results[count++] = OverlapRecord{&geometry_, query.tag, this, 0};
        return WalkStep::kSkip;
    }
    return WalkStep::kDescend;
}

int Object::Load(FileStream& stream) {
    if (KNode::Load(stream) != 0) return 1;
    SetFlagBits(kNodeMesh, true);
    if (!StreamRead4(stream, &geometryKind_)) return 1;
    return ReadGeometry(geometry_, stream);
}

int Object::Save(FileStream& stream) {
    if (KNode::Save(stream) != 0) return 1;
    if (!StreamWrite4(stream, geometryKind_)) return 1;
    return WriteGeometry(geometry_, stream);
}
