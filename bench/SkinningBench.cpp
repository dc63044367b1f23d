// Skinning 2,000 vertices with 20 bones on the processor: the matrix-palette stand-in that
// draws skinned meshes on a driver without the extension (palette normal matrices and the
// weighted transform of positions and normals). The goal: under 0.2 ms.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

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

void BM_PaletteSkinning(benchmark::State& state) {
    std::vector<std::array<GLfloat, 16>> palette(kBones);
    for (int b = 0; b < kBones; ++b) {
        float angle = 0.1f * static_cast<float>(b);
        float c = std::cos(angle);
        float s = std::sin(angle);
        palette[b] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, static_cast<float>(b), 1, 2, 1};
    }
    std::vector<Vertex> vertices(kVertices);
    for (int v = 0; v < kVertices; ++v)
        vertices[v] = Vertex{{static_cast<float>(v % 40), static_cast<float>(v / 40), 1.0f},
                             {0, 0, 1},
                             1.0f,
                             static_cast<std::uint8_t>(v % kBones),
                             {}};
    const auto* base = reinterpret_cast<const std::uint8_t*>(vertices.data());
    const platform::gles::VertexArrayView positions{base + offsetof(Vertex, position), 3, GL_FLOAT, sizeof(Vertex)};
    const platform::gles::VertexArrayView normals{base + offsetof(Vertex, normal), 3, GL_FLOAT, sizeof(Vertex)};
    const platform::gles::VertexArrayView bones{base + offsetof(Vertex, bone), 1, GL_UNSIGNED_BYTE, sizeof(Vertex)};
    const platform::gles::VertexArrayView weights{base + offsetof(Vertex, weight), 1, GL_FLOAT, sizeof(Vertex)};
    std::vector<GLfloat> normalMatrices(kBones * 9);
    std::vector<GLfloat> outPositions(kVertices * 3);
    std::vector<GLfloat> outNormals(kVertices * 3);
    for (auto _ : state) {
        for (int b = 0; b < kBones; ++b) platform::gles::ComputeNormalMatrix(palette[b].data(), &normalMatrices[b * 9]);
        platform::gles::SkinVertices(palette.data(), normalMatrices.data(), palette.size(), positions, normals, bones,
                                     weights, kVertices, outPositions.data(), outNormals.data());
        benchmark::DoNotOptimize(outPositions.data());
        benchmark::DoNotOptimize(outNormals.data());
    }
    state.counters["vertices"] = kVertices;
}

BENCHMARK(BM_PaletteSkinning)->Unit(benchmark::kMicrosecond);

}  // namespace
