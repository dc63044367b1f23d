// A segment query against a collision mesh of 10,000 triangles (a bumpy ground): through the
// face tree, against the plain baseline of a Moller-Trumbore test of every triangle over
// flat arrays, and the engine's test of every face, in the same run. The goal: under 5 us a
// query through the face tree.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/collision/FaceQueries.h"
#include "engine/resources/collision/FaceTree.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"

namespace {

constexpr int kColumns = 100;
constexpr int kRows = 50;
constexpr int kQueries = 1024;

float Height(int x, int y) { return std::sin(x * 0.37f) * std::cos(y * 0.23f) * 3.0f; }

struct Segment {
    Vector3 start;
    Vector3 end;
};

struct Fixture {
    Fixture() {
        if (HeapInit() != 0 || GlobalResourceCache().Init() != 0) return;
        SetCurrentMaterialList(&materials);
        SetCreateMissingMaterials(true);
        // Two triangles a quad, as faces of the engine and as flat arrays.
        const int vertexCount = (kColumns + 1) * (kRows + 1);
        std::string text =
            "Geometry\n{\n1 " + std::to_string(kColumns * kRows * 2) + " " + std::to_string(vertexCount) + " 0\n";
        char line[96];
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kColumns; ++x) {
                const int v = y * (kColumns + 1) + x;
                const int corners[2][3] = {{v, v + 1, v + kColumns + 2}, {v, v + kColumns + 2, v + kColumns + 1}};
                for (const auto& triangle : corners) {
                    std::snprintf(line, sizeof line, "3 [%d %d %d] 0 ground\n", triangle[0], triangle[1], triangle[2]);
                    text += line;
                    triangles.insert(triangles.end(), triangle, triangle + 3);
                }
            }
        for (int y = 0; y <= kRows; ++y)
            for (int x = 0; x <= kColumns; ++x) {
                positions.push_back(Vector3{static_cast<float>(x), static_cast<float>(y), Height(x, y)});
                std::snprintf(line, sizeof line, "%d %d %.9g\n", x, y, static_cast<double>(Height(x, y)));
                text += line;
            }
        text += "}\n";
        FileStream stream;
        auto* image = static_cast<BYTE*>(EngineAlloc(text.size()));
        if (image == nullptr) return;
        std::memcpy(image, text.data(), text.size());
        stream.SetFlags(kStreamText);
        stream.AttachImage(image, static_cast<DWORD>(text.size()), 0);
        MeshText mesh;
        if (ReadMeshText(stream, "ground.fmesh", mesh) == 0 || BuildGeometryFromText(geometry, mesh) == 0) return;
        FreeMeshText(mesh);
        tree.reset(BuildFaceTree(geometry));
        // Slanted segments from above the ground to below it, spread over it.
        std::uint32_t seed = 0x38549391u;
        auto next = [&seed](float range) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f * range;
        };
        for (int i = 0; i < kQueries; ++i) {
            const Vector3 start{next(kColumns), next(kRows), 6.0f + next(4)};
            segments.push_back(Segment{start, Vector3{start.x + next(6) - 3, start.y + next(6) - 3, -6.0f}});
        }
    }
    ~Fixture() { ReleaseGeometry(geometry); }

    MaterialList materials;
    Geometry geometry;
    std::unique_ptr<FaceTree> tree;
    std::vector<Vector3> positions;
    std::vector<int> triangles;
    std::vector<Segment> segments;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// The plain baseline: Moller-Trumbore against every triangle, the nearest hit along the
// segment (both sides).
bool BruteForce(const Fixture& fixture, const Segment& segment, Vector3& hit) {
    const Vector3 d{segment.end.x - segment.start.x, segment.end.y - segment.start.y, segment.end.z - segment.start.z};
    float nearest = 2.0f;
    const std::size_t count = fixture.triangles.size();
    for (std::size_t t = 0; t < count; t += 3) {
        const Vector3& a = fixture.positions[fixture.triangles[t]];
        const Vector3& b = fixture.positions[fixture.triangles[t + 1]];
        const Vector3& c = fixture.positions[fixture.triangles[t + 2]];
        const Vector3 e1{b.x - a.x, b.y - a.y, b.z - a.z};
        const Vector3 e2{c.x - a.x, c.y - a.y, c.z - a.z};
        const Vector3 p{d.y * e2.z - d.z * e2.y, d.z * e2.x - d.x * e2.z, d.x * e2.y - d.y * e2.x};
        const float det = e1.x * p.x + e1.y * p.y + e1.z * p.z;
        if (std::fabs(det) < 1e-12f) continue;
        const float inverse = 1.0f / det;
        const Vector3 s{segment.start.x - a.x, segment.start.y - a.y, segment.start.z - a.z};
        const float u = (s.x * p.x + s.y * p.y + s.z * p.z) * inverse;
        if (u < 0.0f || u > 1.0f) continue;
        const Vector3 q{s.y * e1.z - s.z * e1.y, s.z * e1.x - s.x * e1.z, s.x * e1.y - s.y * e1.x};
        const float v = (d.x * q.x + d.y * q.y + d.z * q.z) * inverse;
        if (v < 0.0f || u + v > 1.0f) continue;
        const float along = (e2.x * q.x + e2.y * q.y + e2.z * q.z) * inverse;
        if (along >= 0.0f && along <= 1.0f && along < nearest) nearest = along;
    }
    if (nearest > 1.0f) return false;
    hit = Vector3{segment.start.x + d.x * nearest, segment.start.y + d.y * nearest, segment.start.z + d.z * nearest};
    return true;
}

template <typename Query>
void RunQueries(benchmark::State& state, Query query) {
    Fixture& fixture = TheFixture();
    if (!fixture.tree || fixture.segments.empty()) {
        state.SkipWithError("the ground could not be built");
        return;
    }
    std::size_t next = 0;
    int hits = 0;
    for (auto _ : state) {
        hits += query(fixture, fixture.segments[next]) ? 1 : 0;
        next = (next + 1) % fixture.segments.size();
    }
    benchmark::DoNotOptimize(hits);
    state.counters["triangles"] = static_cast<double>(fixture.triangles.size() / 3);
}

void BM_BruteForceMollerTrumbore(benchmark::State& state) {
    RunQueries(state, [](const Fixture& fixture, const Segment& segment) {
        Vector3 hit;
        return BruteForce(fixture, segment, hit);
    });
}

void BM_EveryFaceSegmentHitsMesh(benchmark::State& state) {
    RunQueries(state, [](const Fixture& fixture, const Segment& segment) {
        SegmentHit hit;
        return SegmentHitsMesh(fixture.geometry, segment.start, segment.end, hit, 0) != 0;
    });
}

void BM_FaceTreeQuery(benchmark::State& state) {
    RunQueries(state, [](const Fixture& fixture, const Segment& segment) {
        SegmentHit hit;
        return SegmentHitsFaceTree(*fixture.tree, fixture.geometry, segment.start, segment.end, hit, 0) != 0;
    });
}

BENCHMARK(BM_BruteForceMollerTrumbore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EveryFaceSegmentHitsMesh)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FaceTreeQuery)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_FaceTreeQuery", "BM_BruteForceMollerTrumbore", Ratio::Speed, Clock::Cpu, 0,
                                       bench::TimeAtMost(5e-6)}) &&
                       bench::Compare({"BM_EveryFaceSegmentHitsMesh", "BM_BruteForceMollerTrumbore", Ratio::Speed,
                                       Clock::Cpu, 0});

}  // namespace
