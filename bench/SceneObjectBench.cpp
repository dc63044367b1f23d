// The demo objects and characters of data/game/archives/startup, made from their sources:
// - loading every object through the object database from its caches, against loading it
//   from its scene file and texts (the first run, which writes the caches) in the same run;
//   the goal: the caches at least 5 times faster, and every object from them under 20 ms;
// - one frame's update of 20 skinned BRAMs running (channel time, key search and blend,
//   bone and skin matrices), against the same pose arithmetic written plainly for this one
//   skeleton; the goal: under 1 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/app/CoreModule.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/AnimationPlayer.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/material/MaterialList.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "platform/base/HandsetRoot.h"
#include "tools/make_animation/AnimationSource.h"
#include "tools/make_character/CharacterSource.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCharacters = 20;

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Fixture {
    Fixture() {
        if (HeapInit() != 0 || GlobalResourceCache().Init() != 0 || RegisterCoreModule() != 0) return;
        root = (fs::temp_directory_path() / ("scene-object-bench-" + std::to_string(getpid()))).string();
        objects = fs::path(root) / "fs" / "objects";
        fs::create_directories(objects);
        platform::SetHandsetRoot(root);
        SetDataFolder("\\");
        SetCreateMissingMaterials(true);
        const fs::path source = fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup";
        std::string error;
        // The materials as the game has them (their textures are left out: a material without
        // its texture still loads, and the caches name their materials).
        fs::create_directories(fs::path(root) / "fs" / "materials");
        for (const auto& entry : fs::directory_iterator(source / "materials"))
            std::ofstream(fs::path(root) / "fs" / "materials" / entry.path().filename()) << FileText(entry.path());
        for (const auto& entry : fs::directory_iterator(source / "objects")) {
            const fs::path path = entry.path();
            if (path.extension() == ".knode") {
                std::ofstream(objects / path.filename()) << FileText(path);
                names.push_back(path.stem().string());
            } else if (path.extension() == ".shapes") {
                std::vector<make_mesh::MeshShape> shapes;
                if (!make_mesh::ReadShapes(FileText(path), &shapes, &error)) return;
                for (const make_mesh::MeshShape& shape : shapes) {
                    std::ofstream(objects / (shape.name + ".fmesh")) << make_mesh::WriteMeshText(shape);
                    names.push_back(shape.name);
                }
            } else if (path.extension() == ".character") {
                std::vector<make_character::Character> characters;
                if (!make_character::ReadCharacters(FileText(path), &characters, &error)) return;
                for (const make_character::Character& character : characters) {
                    std::string text;
                    if (!make_character::WriteSkelText(character, &text, &error)) return;
                    std::ofstream(objects / (character.name + ".skel")) << text;
                    names.push_back(character.name);
                }
            }
        }
        TagFile runSource;
        if (runSource.ParseText(FileText(source / "animations/character_02_run.kansrc").c_str()) != 0) return;
        Animation* built = BuildAnimation(runSource, "character_02_run", error);
        if (built == nullptr || !built->IsKindOf(SkelAnimation::StaticTypeId())) return;
        run = static_cast<SkelAnimation*>(built);
        // The first load writes every cache.
        ready = LoadAll() == names.size() && CountCaches() > 0;
    }
    ~Fixture() {
        if (run != nullptr) run->Release();
        if (!root.empty()) fs::remove_all(root);
    }

    // Loads every object with a fresh database; the number loaded.
    std::size_t LoadAll() {
        KDB database;
        SetCurrentKdb(&database);
        std::size_t loaded = 0;
        for (const std::string& name : names) loaded += database.FindOrLoadObject(name.c_str()) != nullptr ? 1 : 0;
        database.Clear();
        SetCurrentKdb(nullptr);
        FreeSceneNodeLists();
        return loaded;
    }
    std::size_t CountCaches() const {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(objects))
            count += entry.path().extension() == ".kgc" || entry.path().extension() == ".ksk" ? 1 : 0;
        return count;
    }
    void RemoveCaches() const {
        for (const auto& entry : fs::directory_iterator(objects))
            if (entry.path().extension() == ".kgc" || entry.path().extension() == ".ksk") fs::remove(entry.path());
    }

    std::string root;
    fs::path objects;
    std::vector<std::string> names;
    SkelAnimation* run = nullptr;
    bool ready = false;
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadObjectsFromTexts(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    if (!fixture.ready) {
        state.SkipWithError("the demo objects could not be made");
        return;
    }
    std::size_t loaded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.RemoveCaches();
        state.ResumeTiming();
        loaded = fixture.LoadAll();
    }
    if (loaded != fixture.names.size()) state.SkipWithError("an object did not load from its texts");
    state.counters["objects"] = static_cast<double>(loaded);
}

void BM_LoadObjectsFromCaches(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    if (!fixture.ready) {
        state.SkipWithError("the demo objects could not be made");
        return;
    }
    fixture.LoadAll();  // writes the caches again after the text benchmark removed them
    std::size_t loaded = 0;
    for (auto _ : state) loaded = fixture.LoadAll();
    if (loaded != fixture.names.size()) state.SkipWithError("an object did not load from its caches");
    state.counters["objects"] = static_cast<double>(loaded);
}

// 20 BRAMs, each running at its own phase.
struct Crowd {
    explicit Crowd(Fixture& fixture) {
        SetCurrentKdb(&database);
        auto* bram = static_cast<SkelObject*>(database.FindOrLoadObject("bram_cutscene"));
        if (bram == nullptr || !bram->IsKindOf(SkelObject::StaticTypeId())) return;
        for (int c = 0; c < kCharacters; ++c) {
            KNode* copy = bram->Clone(nullptr);
            if (copy == nullptr) return;
            auto* character = static_cast<SkelObject*>(copy);
            character->SetPosition(Vector3{static_cast<float>(c % 5) * 10.0f, static_cast<float>(c / 5) * 10.0f, 0});
            const int channel = character->PlayAnimation(fixture.run, 0.0f, kChannelLooping, 0.0f, 0.0f);
            character->SetAnimationTime(channel, static_cast<float>(c));
            characters.push_back(character);
        }
    }
    ~Crowd() {
        for (SkelObject* character : characters) character->Release();
        database.Clear();
        SetCurrentKdb(nullptr);
        FreeSceneNodeLists();
        FreeSkelChannelPool();
    }
    KDB database;
    std::vector<SkelObject*> characters;
};

void BM_UpdateSkinnedCharacters(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    if (!fixture.ready) {
        state.SkipWithError("the demo objects could not be made");
        return;
    }
    Crowd crowd(fixture);
    if (crowd.characters.size() != kCharacters) {
        state.SkipWithError("the characters could not be made");
        return;
    }
    for (auto _ : state) {
        AdvanceSkelFrame();
        for (SkelObject* character : crowd.characters) character->UpdateAnimation(1.0f / 30.0f);
        benchmark::DoNotOptimize(crowd.characters.back()->BoneWorldMatrix(9));
    }
    state.counters["bones"] = static_cast<double>(crowd.characters[0]->BoneCount() * kCharacters);
}

// The same pose arithmetic written plainly for one skeleton: per character the time moves on,
// each bone's key is found by a scan from the start, the two keys are blended, and the bone
// and skin matrices are composed down the parent chain, which is given in bone order.
void BM_PlainPoseUpdate(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    if (!fixture.ready) {
        state.SkipWithError("the demo objects could not be made");
        return;
    }
    Crowd crowd(fixture);
    if (crowd.characters.size() != kCharacters) {
        state.SkipWithError("the characters could not be made");
        return;
    }
    const SkelAnimation& run = *fixture.run;
    SkelObject& model = *crowd.characters[0];
    const std::uint32_t bones = model.BoneCount();
    std::vector<int> parents(bones, -1);
    std::vector<Vector3> offsets(bones);
    std::vector<Matrix34> inverseBinds(bones);
    for (std::uint32_t b = 0; b < bones; ++b) {
        Bone* bone = model.GetBone(b);
        offsets[b] = bone->Transform().position;
        for (std::uint32_t p = 0; p < bones; ++p)
            if (model.GetBone(p) == bone->Parent()) parents[b] = static_cast<int>(p);
        Matrix34 bind;
        Matrix34FromRotationAndPosition(bone->Bind().rotation, bone->Bind().position, bind);
        Matrix34InverseAffine(bind, inverseBinds[b]);
    }
    std::vector<float> times(kCharacters);
    for (int c = 0; c < kCharacters; ++c) times[c] = static_cast<float>(c);
    std::vector<Matrix34> world(bones);
    std::vector<Matrix34> skin(static_cast<std::size_t>(bones) * kCharacters);
    const float frames = static_cast<float>(run.FrameCount());
    for (auto _ : state) {
        for (int c = 0; c < kCharacters; ++c) {
            times[c] = std::fmod(times[c] + 1.0f, frames);
            Matrix34 objectWorld = kIdentityMatrix34;
            objectWorld.m[0][3] = static_cast<float>(c % 5) * 10.0f;
            objectWorld.m[1][3] = static_cast<float>(c / 5) * 10.0f;
            for (std::uint32_t b = 0; b < bones; ++b) {
                const SkelKey* keys = run.BoneKeys(b);
                const std::uint32_t count = run.Bones()[b].keyCount;
                std::uint32_t k = 0;
                while (k + 1 < count && keys[k + 1].startFrame <= times[c]) ++k;
                const SkelKey& next = keys[(k + 1) % count];
                const float t = keys[k].frameLength != 0 ? (times[c] - keys[k].startFrame) / keys[k].frameLength : 0;
                Quaternion rotation;
                QuaternionSlerp(keys[k].rotation, next.rotation, t, rotation);
                Matrix34 local;
                Matrix34FromRotationAndPosition(rotation, offsets[b], local);
                Matrix34Multiply(parents[b] >= 0 ? world[parents[b]] : objectWorld, local, world[b]);
                Matrix34Multiply(world[b], inverseBinds[b], skin[static_cast<std::size_t>(c) * bones + b]);
            }
        }
        benchmark::DoNotOptimize(skin.data());
    }
    state.counters["bones"] = static_cast<double>(bones * kCharacters);
}

BENCHMARK(BM_LoadObjectsFromTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadObjectsFromCaches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateSkinnedCharacters)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainPoseUpdate)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared =
    bench::Compare({"BM_LoadObjectsFromCaches", "BM_LoadObjectsFromTexts", Ratio::Speed, Clock::Cpu, 5,
                    bench::TimeAtMost(20e-3)}) &&
    bench::Compare({"BM_UpdateSkinnedCharacters", "BM_PlainPoseUpdate", Ratio::Time, Clock::Cpu, 0,
                    bench::TimeAtMost(1e-3)});

}  // namespace
