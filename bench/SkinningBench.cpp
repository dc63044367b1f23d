// Skinning 2,000 vertices with 20 bones on the processor: the matrix-palette stand-in that
// draws skinned meshes on a driver without the extension (palette normal matrices and the
// weighted transform of positions and normals), against the same arithmetic written plainly
// for this one vertex layout in the same run. The goal: under 0.2 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bench/BenchCompare.h"
#include "platform/gles/MatrixPalette.h"

namespace {

constexpr int kVertices = 2000;
constexpr int kBones = 20;

struct Vertex {
    float position[3];
    float normal[3];
    float weight;
    std::uint8_t bone;
    std::uint8_t pad[3];
};

// Rotations about z with a translation, one a bone; vertices on a grid, each on one bone.
struct Pose {
    std::vector<std::array<GLfloat, 16>> palette = std::vector<std::array<GLfloat, 16>>(kBones);
    std::vector<Vertex> vertices = std::vector<Vertex>(kVertices);
    std::vector<GLfloat> normalMatrices = std::vector<GLfloat>(kBones * 9);
    std::vector<GLfloat> outPositions = std::vector<GLfloat>(kVertices * 3);
    std::vector<GLfloat> outNormals = std::vector<GLfloat>(kVertices * 3);
    // The vertex arrays as the matrix-palette path reads them.
    platform::gles::VertexArrayView positions;
    platform::gles::VertexArrayView normals;
    platform::gles::VertexArrayView bones;
    platform::gles::VertexArrayView weights;

    Pose() {
        for (int b = 0; b < kBones; ++b) {
            float angle = 0.1f * static_cast<float>(b);
            float c = std::cos(angle);
            float s = std::sin(angle);
            palette[b] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, static_cast<float>(b), 1, 2, 1};
        }
        for (int v = 0; v < kVertices; ++v)
            vertices[v] = Vertex{{static_cast<float>(v % 40), static_cast<float>(v / 40), 1.0f},
                                 {0, 0, 1},
                                 1.0f,
                                 static_cast<std::uint8_t>(v % kBones),
                                 {}};
        const auto* base = reinterpret_cast<const std::uint8_t*>(vertices.data());
        positions = {base + offsetof(Vertex, position), 3, GL_FLOAT, sizeof(Vertex)};
        normals = {base + offsetof(Vertex, normal), 3, GL_FLOAT, sizeof(Vertex)};
        bones = {base + offsetof(Vertex, bone), 1, GL_UNSIGNED_BYTE, sizeof(Vertex)};
        weights = {base + offsetof(Vertex, weight), 1, GL_FLOAT, sizeof(Vertex)};
    }
    Pose(const Pose&) = delete;
    Pose& operator=(const Pose&) = delete;
};

void PaletteSkin(Pose& pose) {
    for (int b = 0; b < kBones; ++b)
        platform::gles::ComputeNormalMatrix(pose.palette[b].data(), &pose.normalMatrices[b * 9]);
    platform::gles::SkinVertices(pose.palette.data(), pose.normalMatrices.data(), pose.palette.size(), pose.positions,
                                 pose.normals, pose.bones, pose.weights, kVertices, pose.outPositions.data(),
                                 pose.outNormals.data());
}

// The plain way: each bone's normal matrix as the cofactors of its 3 x 3 part over the
// determinant, then each vertex's weighted transform, read straight from the vertex.
void PlainSkin(Pose& pose) {
    for (int b = 0; b < kBones; ++b) {
        const GLfloat* m = pose.palette[b].data();
        GLfloat* n = &pose.normalMatrices[b * 9];
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                const int r0 = (row + 1) % 3, r1 = (row + 2) % 3, c0 = (column + 1) % 3, c1 = (column + 2) % 3;
                n[column * 3 + row] = m[c0 * 4 + r0] * m[c1 * 4 + r1] - m[c1 * 4 + r0] * m[c0 * 4 + r1];
            }
        const GLfloat scale = 1.0f / (m[0] * n[0] + m[4] * n[3] + m[8] * n[6]);
        for (int i = 0; i < 9; ++i) n[i] *= scale;
    }
    GLfloat* outPosition = pose.outPositions.data();
    GLfloat* outNormal = pose.outNormals.data();
    for (const Vertex& vertex : pose.vertices) {
        const GLfloat* m = pose.palette[vertex.bone].data();
        const GLfloat* n = &pose.normalMatrices[vertex.bone * 9];
        const float* p = vertex.position;
        const float* normal = vertex.normal;
        for (int row = 0; row < 3; ++row) {
            outPosition[row] = vertex.weight * (m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row]);
            outNormal[row] = vertex.weight * (n[row] * normal[0] + n[3 + row] * normal[1] + n[6 + row] * normal[2]);
        }
        outPosition += 3;
        outNormal += 3;
    }
}

// Skins the pose once an iteration with `skin`; its output is kept, and must match the
// matrix-palette path's.
template <typename Skin>
void SkinFrames(benchmark::State& state, Skin skin) {
    Pose pose;
    // The inputs escape too, so that no part of the work can be lifted out of the loop.
    benchmark::DoNotOptimize(pose.palette.data());
    benchmark::DoNotOptimize(pose.vertices.data());
    for (auto _ : state) {
        skin(pose);
        benchmark::DoNotOptimize(pose.outPositions.data());
        benchmark::DoNotOptimize(pose.outNormals.data());
    }
    Pose reference;
    PaletteSkin(reference);
    auto near = [](const std::vector<GLfloat>& a, const std::vector<GLfloat>& b) {
        return std::equal(a.begin(), a.end(), b.begin(),
                          [](GLfloat x, GLfloat y) { return std::fabs(x - y) <= 1e-4f; });
    };
    if (!near(pose.outPositions, reference.outPositions) || !near(pose.outNormals, reference.outNormals))
        state.SkipWithError("the skinned vertices differ from the matrix-palette path's");
    state.counters["vertices"] = kVertices;
}

void BM_PaletteSkinning(benchmark::State& state) {
    SkinFrames(state, [](Pose& pose) { PaletteSkin(pose); });
}
void BM_PlainSkinning(benchmark::State& state) {
    SkinFrames(state, [](Pose& pose) { PlainSkin(pose); });
}

BENCHMARK(BM_PaletteSkinning)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainSkinning)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_PaletteSkinning", "BM_PlainSkinning", Ratio::Time, Clock::Cpu, 0,
                                       bench::TimeAtMost(0.2e-3)});

}  // namespace
