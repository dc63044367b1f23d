// Object: the static mesh node. It carries one geometry record and an optional collision
// record, draws through the render device's mesh buffers, bakes vertex lighting, and answers
// ray tests and box queries with its faces. Every live Object is on the current object
// database's mesh list (through the registrar the database installs).
#pragma once

#include <cstdint>

#include "engine/core/node/KNode.h"
#include "engine/resources/mesh/Geometry.h"
#include "platform/base/Types.h"

struct FaceTree;

// Node flag every mesh node carries.
constexpr DWORD kNodeMesh = 0x80;

// Collision record flags.
constexpr DWORD kCollisionEmpty = 0x80000000;
constexpr DWORD kCollisionFaceTree = 0x40000000;
constexpr DWORD kCollisionShared = 0x1;  // a clone's copy: frees nothing

struct CollisionRecord {
    DWORD flags = kCollisionEmpty;
    AxisBox bounds{};
    std::uint32_t faceCount = 0;
    FaceTree* tree = nullptr;  // owned unless kCollisionShared
};

class Object : public KNode {
    KEL_DECLARE_TYPE(Object, KNode, "Object")

public:
    // Node flag kNodeMesh; joins the mesh list of the current database.
    Object();
    // Leaves the mesh list, frees the collision record (not a shared one) and the geometry
    // (a shared one is only forgotten).
    ~Object() override;

    KNode* CreateInstance(void* argument) override;
    // KNode's, then the geometry shared (kGeometryShared) and the collision record shared.
    void InitClone(KNode& copy) override;
    // KNode's, then a deep copy of the geometry and the collision record shared.
    void CopyTo(KNode& target) override;
    const char* GetClassId() const override;
    // 1 when the node itself is hit (its faces), 2 when a node below it is hit; the last
    // hit's node, value and point are given (the point in world space).
    int RayTest(const Vector3& start, const Vector3& end, void* userData, KNode** hitNode, float* hitValue,
                Vector3* hitPoint, DWORD flags) override;
    // Bakes vertex lighting with the node's world matrix; the argument is a RenderLightSet.
    void ApplyLighting(void* argument) override;
    // KNode's record, the geometry kind (4 bytes) and the geometry (".kgc" content).
    int Load(FileStream& stream) override;
    int Save(FileStream& stream) override;

    Geometry& GetGeometry() { return geometry_; }
    const Geometry& GetGeometry() const { return geometry_; }
    CollisionRecord& Collision() { return collision_; }
    DWORD GeometryKind() const { return geometryKind_; }
    void SetGeometryKind(DWORD kind) { geometryKind_ = kind; }
    // The node's box and sphere from the geometry.
    void ComputeBounds();
    // Builds the collision record's face tree over the geometry (replacing one held before);
    // false when the geometry has no faces to hold or memory runs out.
    bool BuildCollision();

protected:
    WalkStep RayTestOwn(const RayQuery& query, RayHit& hit) override;
    WalkStep CollectOverlappingOwn(const OverlapQuery& query, OverlapRecord* results, int capacity,
                                   int& count) override;
    int PrepareOwn(void* argument) override;
    int ReleaseOwnDeviceData() override;
    int CreateOwnDeviceData() override;

private:
    void ReleaseCollision();

    DWORD geometryKind_ = 0;
    Geometry geometry_;
    CollisionRecord collision_;
};

// "Create_Object" of the core module.
Interface* CreateObject();

// Who keeps the list of live mesh nodes: called with true when an Object is made and with
// false when it goes. None is set until a database is made current.
using MeshNodeRegistrar = void (*)(Object& object, bool added);
void SetMeshNodeRegistrar(MeshNodeRegistrar registrar);

// What every node carrying a geometry and a collision record does with them (the mesh node
// and the track). The node's box and sphere from the geometry:
void ComputeGeometryBounds(KNode& node, const Geometry& geometry);
// The face tree over the geometry in place of what the record held (a shared record frees
// nothing); false, with the record as it was, when there is no tree to build.
bool BuildCollisionRecord(const Geometry& geometry, CollisionRecord& collision);
// Frees what the record owns and empties it.
void ReleaseCollisionRecord(CollisionRecord& collision);
// The render device's buffers of the geometry dropped or made; 1 when there was something to
// do it with.
int ReleaseGeometryDeviceData(Geometry& geometry);
int CreateGeometryDeviceData(Geometry& geometry);
// Vertex lighting baked with the node's world matrix; the argument is a RenderLightSet.
void LightGeometry(KNode& node, Geometry& geometry, void* argument);

// A 3 x 4 matrix whose rotation part is the quaternion's and whose translation column is the
// position.
void Matrix34FromRotationAndPosition(const Quaternion& rotation, const Vector3& position, Matrix34& out);
