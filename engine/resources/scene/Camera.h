// Camera: the scene node the game looks through. Its local matrix is built from position and
// rotation only, and its scale vector holds the viewing parameters: x the far distance D,
// y the half-height H of the view at distance D, z the aspect value A (the half-width at D
// is H / A). It gives its view direction, its view matrix and the six culling planes of the
// frame.
#pragma once

#include "engine/core/math/MathTypes.h"
#include "engine/core/node/KNode.h"
#include "platform/base/Types.h"

// The culling planes of the current view, shared with the scene's culling.
constexpr DWORD kCullingPlanesValid = 0x1;
struct CullingPlaneSet {
    DWORD flags;
    PlaneSet planes;
};
CullingPlaneSet& CullingPlanes();

class Camera : public KNode {
    KEL_DECLARE_TYPE(Camera, KNode, "Camera")

public:
    Camera();
    ~Camera() override = default;

    KNode* CreateInstance(void* argument) override;
    const char* GetClassId() const override;

    float FarDistance() const { return Transform().scale.x; }
    float HalfHeight() const { return Transform().scale.y; }
    float Aspect() const { return Transform().scale.z; }

    // The normalised viewing direction (the camera's z axis) in world space.
    void GetViewDirection(Vector3& out);
    // World to camera: the inverse of the camera's world matrix.
    void GetViewMatrix(Matrix34& out);
    // Sets the half-height H from a field of view in radians: H = tan(fov / 2) x A; returns
    // it.
    float SetFov(float fieldOfView);
    // T(position) x R(rotation) x diag(H / D, H, A): the camera's viewing volume as a
    // transform, with D the far distance in the lens's place.
    void GetVolumeTransform(Matrix34& out) const;
    // Fills the global plane set with the six planes of the view in world space (near,
    // far, then right, bottom, left and top through the eye) and returns it. A point is
    // inside a plane when normal . p - d >= 0.
    CullingPlaneSet& BuildFrustumPlanes();
};

// "Create_Camera" of the core module.
Interface* CreateCamera();
