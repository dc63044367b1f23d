// The face tests behind collision: a segment against one face or all faces of a mesh, and
// a sphere against one face.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "engine/resources/mesh/Geometry.h"

// The faces' own tolerance: points this close to an edge or a plane count as on it.
constexpr float kFaceTolerance = 0.000001f;

// The segment crosses the face's plane from the front (d0 >= d, d1 <= d) or, when the face
// is two-sided, from the back (d0 < d, d1 >= d), and the crossing point lies inside the
// face (edges counted in the plane of the two axes other than the face's dominant one).
// +1 for a front hit, -1 for a back hit (with the point), else 0. Faces of two corners, and
// segments that lie in the plane, are never hit.
int SegmentHitsFace(const MeshFace& face, const Vector3* positions, const Vector3& start, const Vector3& end,
                    Vector3& hitPoint);

struct SegmentHit {
    const SubMesh* subMesh = nullptr;
    const MeshFace* face = nullptr;
    Vector3 point{0, 0, 0};
    int side = 0;  // +1 front, -1 back
};

// Every face of every sub-mesh whose flags share no bit with `faceMask`, the segment cut
// short at each hit: 1 when any was hit, with the last hit (the nearest to the start).
int SegmentHitsMesh(const Geometry& geometry, const Vector3& start, const Vector3& end, SegmentHit& hit,
                    DWORD faceMask);

// 1 when the sphere touches the face (a one-sided face only from its front), else 0.
int SphereTouchesFace(const MeshFace& face, const Vector3& centre, float radius, const Vector3* positions);
