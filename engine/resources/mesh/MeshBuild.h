// Building a geometry from text mesh data (sub-meshes by material, welded vertices, fans of
// triangles) and the data derived from it: face planes, face texture frames, vertex
// tangents, bounds and baked vertex lighting.
#pragma once

#include <cstdint>

#include "engine/core/math/MathTypes.h"
#include "engine/render/RenderTypes.h"
#include "engine/resources/mesh/Geometry.h"

struct MeshText;

// Groups the faces by material in order of first appearance, one sub-mesh each; a corner's
// vertex is reused when an exactly equal one is in its group, else appended; each face of
// n corners gives n - 2 triangles as a fan from its first corner. A group that would pass
// 65,536 vertices goes on in a further sub-mesh of the same material, so that no 16-bit
// index wraps. Replaces the geometry's sub-mesh list; 0 when a sub-mesh would be empty or
// memory runs out (the geometry is then left as it was), else 1.
int BuildSubMeshes(Geometry& geometry, const MeshText& text);

// The derived data, in the order the loaders call them after building.
void ComputeFacePlanes(SubMeshList* list);
void ComputeFaceTextureFrames(Geometry& geometry);
void ComputeVertexTangents(SubMeshList* list);
// BuildSubMeshes and the three above; 0 when building fails, else 1.
int BuildGeometryFromText(Geometry& geometry, const MeshText& text);

// The box of all positions, each axis of less than 0.001 widened by 0.0005 on each side; all
// zero without vertices.
void ComputeBoundingBox(const SubMeshList* list, AxisBox& box);
// The middle of the positions' box, and the largest distance from it to a position.
void ComputeBoundingSphere(const SubMeshList* list, Vector3& centre, float& radius);

// Bakes the lights into the vertex colours: the ambient colour, plus per light (point or
// directional; other kinds are ignored) its colour by the cosine between the normal and the
// light, point lights fully up to the near radius and fading to nothing at the far radius.
// Positions and normals are taken through the matrix. Returns 1.
int LightVertices(SubMeshList* list, const RenderLightSet& lights, const Matrix34& matrix);
