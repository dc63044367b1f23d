// Loading a mesh of 10,000 triangles: parsing its text mesh and building it (the baseline,
// what the first load does), against reading the ".kgc" cache that load writes (every later
// load), in the same run. The goal: the cache at least 5 times faster.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/BenchCompare.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/mesh/GeometryCache.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshText.h"
#include "platform/base/HandsetRoot.h"

namespace {

namespace fs = std::filesystem;

// A bumpy ground of 100 x 50 quads in two materials: 10,000 triangles.
std::string GroundText() {
    constexpr int kColumns = 100;
    constexpr int kRows = 50;
    const int faces = kColumns * kRows;
    const int vertices = (kColumns + 1) * (kRows + 1);
    std::string text = "Geometry\n{\n1 " + std::to_string(faces) + " " + std::to_string(vertices) + " 5\n";
    char line[128];
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kColumns; ++x) {
            const int v = y * (kColumns + 1) + x;
            std::snprintf(line, sizeof line, "4 [%d %d %d %d] 0 %s\n", v, v + 1, v + kColumns + 2, v + kColumns + 1,
                          (x + y) % 3 == 0 ? "grass" : "stone");
            text += line;
        }
    for (int y = 0; y <= kRows; ++y)
        for (int x = 0; x <= kColumns; ++x) {
            std::snprintf(line, sizeof line, "%d %d %.4f\n", x, y, ((x * 7 + y * 13) % 17) * 0.05);
            text += line;
        }
    for (int y = 0; y <= kRows; ++y)
        for (int x = 0; x <= kColumns; ++x) {
            std::snprintf(line, sizeof line, "%.2f %.2f\n", x * 0.1, y * 0.1);
            text += line;
        }
    for (int v = 0; v < vertices; ++v) text += "0 0 1\n";
    return text + "}\n";
}

struct Fixture {
    Fixture() {
        if (HeapInit() != 0 || GlobalResourceCache().Init() != 0) return;
        root = (fs::temp_directory_path() / ("mesh-cache-bench-" + std::to_string(getpid()))).string();
        fs::create_directories(root + "/fs");
        platform::SetHandsetRoot(root);
        SetDataFolder("\\");
        SetCurrentMaterialList(&materials);
        SetCreateMissingMaterials(true);
        text = GroundText();
        Geometry geometry;
        if (Parse(geometry)) {
            FileStream out;
            if (out.Open("ground.kgc", kStreamWrite | kStreamBinary) != 0 && WriteGeometry(geometry, out) == 0) {
                out.Close();
                FileStream in;
                if (in.Open("ground.kgc", kStreamBinary | kStreamReadWhole) != 0) {
                    cache.assign(reinterpret_cast<const char*>(in.Image()), in.Size());
                    triangles = 0;
                    for (std::uint32_t s = 0; s < geometry.list->count; ++s)
                        triangles += geometry.list->subMeshes[s].triangleCount;
                }
            }
        }
        ReleaseGeometry(geometry);
        fs::remove_all(root);
    }

    bool Parse(Geometry& geometry) const {
        FileStream stream;
        Attach(stream, text, kStreamText);
        MeshText mesh;
        if (ReadMeshText(stream, "ground.fmesh", mesh) == 0) return false;
        const bool built = BuildGeometryFromText(geometry, mesh) == 1;
        FreeMeshText(mesh);
        return built;
    }
    bool Read(Geometry& geometry) const {
        FileStream stream;
        Attach(stream, cache, kStreamBinary);
        return ReadGeometry(geometry, stream) == 0;
    }
    static void Attach(FileStream& stream, const std::string& bytes, DWORD flags) {
        auto* image = static_cast<BYTE*>(EngineAlloc(bytes.size()));
        if (image != nullptr) std::memcpy(image, bytes.data(), bytes.size());
        stream.SetFlags(flags);
        stream.AttachImage(image, static_cast<DWORD>(bytes.size()), 0);
    }

    std::string root;
    MaterialList materials;
    std::string text;
    std::string cache;
    std::uint32_t triangles = 0;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ParseTextMesh(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    if (fixture.cache.empty()) {
        state.SkipWithError("the mesh could not be built or cached");
        return;
    }
    bool good = true;
    for (auto _ : state) {
        Geometry geometry;
        good = fixture.Parse(geometry) && good;
        ReleaseGeometry(geometry);
    }
    if (!good) state.SkipWithError("the text did not parse");
    state.counters["triangles"] = fixture.triangles;
    state.counters["bytes"] = static_cast<double>(fixture.text.size());
}

void BM_ReadGeometryCache(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    if (fixture.cache.empty()) {
        state.SkipWithError("the mesh could not be built or cached");
        return;
    }
    bool good = true;
    for (auto _ : state) {
        Geometry geometry;
        good = fixture.Read(geometry) && good;
        ReleaseGeometry(geometry);
    }
    if (!good) state.SkipWithError("the cache did not read");
    state.counters["triangles"] = fixture.triangles;
    state.counters["bytes"] = static_cast<double>(fixture.cache.size());
}

BENCHMARK(BM_ParseTextMesh)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadGeometryCache)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_ReadGeometryCache", "BM_ParseTextMesh", Ratio::Speed, Clock::Cpu, 5});

}  // namespace
