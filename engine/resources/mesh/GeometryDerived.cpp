// What the loaders derive from a built geometry: face planes, the faces' texture mapping,
// vertex tangent frames, and the bounding box and sphere.
#include <cmath>

#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/resources/mesh/MeshBuild.h"

namespace {

constexpr float kFrameEpsilon = 0.000001f;
constexpr float kFlatExtent = 0.001f;
constexpr float kFlatWidening = 0.0005f;

Matrix34 RowsMatrix(const Vector3& a, const Vector3& b, const Vector3& c) {
    return Matrix34{{{a.x, a.y, a.z, 0}, {b.x, b.y, b.z, 0}, {c.x, c.y, c.z, 0}}};
}

// The determinant of the rows (a_i, b_i, c_i).
float Determinant3(const float (&a)[3], const float (&b)[3], const float (&c)[3]) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - b[0] * (a[1] * c[2] - a[2] * c[1]) + c[0] * (a[1] * b[2] - a[2] * b[1]);
}

void FaceTextureFrame(MeshFace& face, const SubMesh& subMesh, bool hasTexCoords) {
    if (face.cornerCount < 3) return;
    const Vector3& p0 = subMesh.positions[face.corners[0]];
    const Vector3& p1 = subMesh.positions[face.corners[1]];
    const Vector3& p2 = subMesh.positions[face.corners[2]];
    Vector3 a;
    Vector3Sub(p1, p0, a);
    Vector3Normalize(a);
    Vector3 b;
    Vector3Cross(face.normal, a, b);
    Vector3Normalize(b);
    const Matrix34 rotation = RowsMatrix(a, face.normal, b);
    const Matrix34 toOrigin{{{1, 0, 0, -p0.x}, {0, 1, 0, -p0.y}, {0, 0, 1, -p0.z}}};
    Matrix34 mapping;
    Matrix34Multiply(rotation, toOrigin, mapping);

    bool mapped = false;
    if (hasTexCoords) {
        // Plane coordinates of the corners, and the affine maps u(x, z) and v(x, z) through
        // them by Cramer's rule.
        float x[3];
        float z[3];
        float u[3];
        float v[3];
        const Vector3* corners[3] = {&p0, &p1, &p2};
        for (int i = 0; i < 3; ++i) {
            Vector3 offset;
            Vector3Sub(*corners[i], p0, offset);
            x[i] = Vector3Dot(offset, a);
            z[i] = Vector3Dot(offset, b);
            u[i] = subMesh.texCoords[face.corners[i]].x;
            v[i] = subMesh.texCoords[face.corners[i]].y;
        }
        const float ones[3] = {1, 1, 1};
        const float base = Determinant3(x, z, ones);
        if (std::fabs(base) >= kFrameEpsilon) {
            const float au = Determinant3(u, z, ones) / base;
            const float bu = Determinant3(x, u, ones) / base;
            const float cu = Determinant3(x, z, u) / base;
            const float av = Determinant3(v, z, ones) / base;
            const float bv = Determinant3(x, v, ones) / base;
            const float cv = Determinant3(x, z, v) / base;
            if (au * au + bu * bu >= kFrameEpsilon && av * av + bv * bv >= kFrameEpsilon) {
                const Matrix34 gradient{{{au, 0, bu, cu}, {0, 1, 0, 0}, {av, 0, bv, cv}}};
                Matrix34Multiply(gradient, mapping, mapping);
                mapped = true;
            }
        }
    }
    face.tangentRow = Vector3{mapping.m[0][0], mapping.m[0][1], mapping.m[0][2]};
    face.binormalRow = Vector3{mapping.m[2][0], mapping.m[2][1], mapping.m[2][2]};
    face.offsets = Vector3{mapping.m[0][3], mapping.m[1][3], mapping.m[2][3]};
    if (mapped) {
        Vector3Normalize(face.tangentRow);
        Vector3Normalize(face.binormalRow);
    }
}

void VertexTangent(const MeshFace* face, const Vector3& normal, Vector3& tangent, Vector3& binormal) {
    if (face == nullptr) {
        tangent = Vector3{1, 0, 0};
        binormal = Vector3{0, 0, 1};
        return;
    }
    const Vector3& t = face->tangentRow;
    const Vector3& n = face->normal;
    const Vector3& b = face->binormalRow;
    // The vertex normal in the face's frame, and back again by the transpose.
    const Vector3 local{Vector3Dot(t, normal), Vector3Dot(n, normal), Vector3Dot(b, normal)};
    auto back = [&](const Vector3& w) {
        return Vector3{t.x * w.x + n.x * w.y + b.x * w.z, t.y * w.x + n.y * w.y + b.y * w.z,
                       t.z * w.x + n.z * w.y + b.z * w.z};
    };
    Vector3 handed;
    Vector3Cross(b, t, handed);
    Vector3 crossed;
    if (Vector3Dot(handed, n) > 0.0f) {
        Vector3Cross(local, Vector3{0, 0, 1}, crossed);
        Vector3Normalized(back(crossed), tangent);
        Vector3Cross(tangent, normal, binormal);
    } else {
        Vector3Cross(Vector3{0, 0, -1}, local, crossed);
        Vector3Normalized(back(crossed), tangent);
        Vector3Cross(normal, tangent, binormal);
    }
}

void ExtendBox(AxisBox& box, const Vector3& p) {
    box.min = Vector3{std::fmin(box.min.x, p.x), std::fmin(box.min.y, p.y), std::fmin(box.min.z, p.z)};
    box.max = Vector3{std::fmax(box.max.x, p.x), std::fmax(box.max.y, p.y), std::fmax(box.max.z, p.z)};
}

void WidenFlatAxis(float& low, float& high) {
    if (high - low < kFlatExtent) {
        low -= kFlatWidening;
        high += kFlatWidening;
    }
}

}  // namespace

void ComputeFacePlanes(SubMeshList* list) {
    if (list == nullptr) return;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) {
            MeshFace& face = subMesh.faces[f];
            face.flags &= ~kFaceAxisMask;
            // A face of two corners has no plane: it is never hit.
            if (face.cornerCount < 3) {
                face.normal = Vector3{0, 0, 0};
                face.distance = 0.0f;
                continue;
            }
            const Vector3& c0 = subMesh.positions[face.corners[0]];
            const Vector3& c1 = subMesh.positions[face.corners[1]];
            const Vector3& c2 = subMesh.positions[face.corners[2]];
            Vector3 e1;
            Vector3 e2;
            Vector3Sub(c1, c0, e1);
            Vector3Sub(c2, c0, e2);
            Vector3 normal;
            Vector3Cross(e1, e2, normal);
            Vector3Normalized(normal, face.normal);
            const float ax = std::fabs(face.normal.x);
            const float ay = std::fabs(face.normal.y);
            const float az = std::fabs(face.normal.z);
            DWORD axis = ay >= ax ? 1 : 0;
            if (az > std::fmax(ax, ay)) axis = 2;
            face.flags |= axis;
            face.distance = Vector3Dot(face.normal, c1);
        }
    }
}

void ComputeFaceTextureFrames(Geometry& geometry) {
    if (geometry.list == nullptr) return;
    const bool hasTexCoords = (geometry.flags & kGeometryTexCoords) != 0;
    for (std::uint32_t s = 0; s < geometry.list->count; ++s) {
        SubMesh& subMesh = geometry.list->subMeshes[s];
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) FaceTextureFrame(subMesh.faces[f], subMesh, hasTexCoords);
    }
}

void ComputeVertexTangents(SubMeshList* list) {
    if (list == nullptr) return;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        SubMesh& subMesh = list->subMeshes[s];
        if (subMesh.vertexCount == 0) continue;
        // The first face, in face order, that uses each vertex (faceCount: none).
        auto* firstFace = static_cast<std::uint32_t*>(EngineAlloc(std::size_t{subMesh.vertexCount} * 4));
        if (firstFace == nullptr) continue;
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) firstFace[v] = subMesh.faceCount;
        for (std::uint32_t f = 0; f < subMesh.faceCount; ++f) {
            const MeshFace& face = subMesh.faces[f];
            for (std::uint32_t c = 0; c < face.cornerCount && c < kMaxFaceCorners; ++c) {
                const std::uint32_t vertex = face.corners[c];
                if (vertex < subMesh.vertexCount && firstFace[vertex] == subMesh.faceCount) firstFace[vertex] = f;
            }
        }
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) {
            const MeshFace* face = firstFace[v] < subMesh.faceCount ? &subMesh.faces[firstFace[v]] : nullptr;
            VertexTangent(face, subMesh.normals[v], subMesh.tangents[v], subMesh.binormals[v]);
        }
        EngineFree(firstFace);
    }
}

void ComputeBoundingBox(const SubMeshList* list, AxisBox& box) {
    box = AxisBox{{0, 0, 0}, {0, 0, 0}};
    if (list == nullptr) return;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        if (subMesh.vertexCount == 0) continue;
        if (box.min.x == box.max.x && box.min.y == box.max.y && box.min.z == box.max.z)
            box.min = box.max = subMesh.positions[0];
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) ExtendBox(box, subMesh.positions[v]);
        WidenFlatAxis(box.min.x, box.max.x);
        WidenFlatAxis(box.min.y, box.max.y);
        WidenFlatAxis(box.min.z, box.max.z);
    }
}

void ComputeBoundingSphere(const SubMeshList* list, Vector3& centre, float& radius) {
    centre = Vector3{0, 0, 0};
    radius = 0.0f;
    if (list == nullptr) return;
    bool any = false;
    AxisBox box{};
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) {
            if (!any) box.min = box.max = subMesh.positions[v];
            any = true;
            ExtendBox(box, subMesh.positions[v]);
        }
    }
    if (!any) return;
    centre = Vector3{(box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f, (box.min.z + box.max.z) * 0.5f};
    float largest = 0.0f;
    for (std::uint32_t s = 0; s < list->count; ++s) {
        const SubMesh& subMesh = list->subMeshes[s];
        for (std::uint32_t v = 0; v < subMesh.vertexCount; ++v) {
            Vector3 offset;
            Vector3Sub(subMesh.positions[v], centre, offset);
            largest = std::fmax(largest, Vector3LengthSquared(offset));
        }
    }
    radius = static_cast<float>(std::sqrt(double{largest}));
}
