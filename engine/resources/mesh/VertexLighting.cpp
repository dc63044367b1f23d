// Baked vertex lighting: the light set's ambient colour and its point and directional
// lights written into the vertex colours.
#include <cmath>

#include "engine/core/math/ColorMath.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/resources/mesh/MeshBuild.h"

namespace {

constexpr DWORD kPointLight = 0;
constexpr DWORD kDirectionalLight = 2;

void AddLight(Color& sum, const Color& colour, float factor) {
    sum.r += colour.r * factor;
    sum.g += colour.g * factor;
    sum.b += colour.b * factor;
    sum.a += colour.a;
}

// What one light gives a vertex at `position` with the unit `normal`.
void ApplyLight(const RenderLight& light, const Vector3& position, const Vector3& normal, Color& sum) {
    if (light.kind == kDirectionalLight) {
        AddLight(sum, light.diffuse, std::fmax(0.0f, -Vector3Dot(light.direction, normal)));
        return;
    }
    if (light.kind != kPointLight) return;
    Vector3 towardVertex;
    Vector3Sub(position, light.position, towardVertex);
    const float distance = Vector3Length(towardVertex);
    if (distance >= light.farRange && distance > light.nearRange) return;
    Vector3Normalize(towardVertex);
    const float facing = std::fmax(0.0f, -Vector3Dot(towardVertex, normal));
    if (distance <= light.nearRange) {
        AddLight(sum, light.diffuse, facing);
        return;
    }
    AddLight(sum, light.diffuse, facing * (light.farRange - distance) / (light.farRange - light.nearRange));
}

}  // namespace

int LightVertices(SubMeshList* list, const RenderLightSet& lights, const Matrix34& matrix) {
    if (list == nullptr) return 1;
    const DWORD count = lights.count < static_cast<DWORD>(kMaxLights) ? lights.count : static_cast<DWORD>(kMaxLights);
    for (std::uint32_t s = 0; s < list->count; ++s) {
        SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) {
            Vector3 position;
            Vector3 normal;
            Matrix34TransformPoint(matrix, subMesh.positions[v], position);
            Matrix34TransformVector(matrix, subMesh.normals[v], normal);
            Color sum = lights.ambient;
            for (DWORD l = 0; l < count; ++l) ApplyLight(lights.lights[l], position, normal, sum);
            sum = Color{std::fmin(sum.r, 1.0f), std::fmin(sum.g, 1.0f), std::fmin(sum.b, 1.0f), std::fmin(sum.a, 1.0f)};
            subMesh.colours[v] = ColorToARGB(sum);
        }
    }
    return 1;
}
