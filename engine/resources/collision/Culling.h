// Plane-set culling of boxes, spheres and faces, for the scene's visibility walk and the
// level's draw passes. A point is inside a plane when normal . p - d >= 0; a plane set's
// count is taken as 0 to 6.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "engine/resources/mesh/Geometry.h"

// 1 when the box lies wholly outside one of the planes (a corner exactly on a plane is not
// outside), else 0.
int BoxOutsidePlaneSet(const PlaneSet& planes, const AxisBox& box);
// 1 when for some plane normal . centre - d <= -radius, else 0.
int SphereOutsidePlaneSet(const PlaneSet& planes, const Vector3& centre, float radius);
// 1 when some plane has every corner of the face at normal . p - d <= 0, else 0; an empty
// plane set culls nothing.
int FaceOutsidePlaneSet(const PlaneSet& planes, const MeshFace& face, const Vector3* positions);
