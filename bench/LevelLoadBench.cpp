// Loading the largest demo level from the startup archive until it is ready to play: the level
// file read and parsed, every model it needs loaded by a fresh object database from the
// archive with the character's models, the tile blocks baked, the objects placed, the character
// landed at its start and the first checkpoint saved; then the level unloaded again. Against only reading the archive's
// bytes from its file in the same run. The goal: under 50 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
#include "bench/WorldBenchData.h"
#include "engine/core/node/KNode.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/update/LevelUpdate.h"

namespace {

using world_bench::fs::path;

// The largest level of the demo data's sources: the most tiles (SIZE width x height).
std::string LargestLevel() {
    const path levels = path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/levels";
    std::string name;
    long largest = 0;
    std::error_code failure;
    for (const auto& entry : world_bench::fs::directory_iterator(levels, failure)) {
        if (entry.path().extension() != ".qvn") continue;
        std::ifstream file(entry.path());
        std::string word;
        long width = 0;
        long height = 0;
        while (file >> word)
            if (word == "SIZE" && file >> width >> height) break;
        if (width * height > largest) {
            largest = width * height;
            name = entry.path().stem().string();
        }
    }
    return name;
}

world_bench::MountedData& Data() {
    static world_bench::MountedData data;
    return data;
}

void BM_LoadLevelReadyToPlay(benchmark::State& state) {
    world_bench::MountedData& data = Data();
    const std::string name = LargestLevel();
    if (!data.ready || name.empty()) {
        state.SkipWithError("no startup archive: build the demo_data target of the bench build");
        return;
    }
    std::size_t objects = 0;
    for (auto _ : state) {
        KDB database;
        KDB* previous = CurrentKdb();
        SetCurrentKdb(&database);
        auto* level = new Level();
        auto* character = new PlayerCharacter();
        character->LoadModel();
        level->character = character;
        const int loaded = LoadLevelFile(*level, "levels/", name.c_str());
        LandCharacter(*level, *character);
        benchmark::DoNotOptimize(loaded);
        objects = level->activeObjects.count;
        Unload(*level);
        delete level;
        delete character;
        database.Clear();
        SetCurrentKdb(previous);
        if (loaded == 0) {
            state.SkipWithError("the level did not load");
            break;
        }
    }
    state.counters["objects"] = static_cast<double>(objects);
    state.SetLabel(name);
}

void BM_ReadArchiveBytes(benchmark::State& state) {
    const std::string archive = world_bench::StartupArchive();
    std::vector<char> bytes;
    for (auto _ : state) {
        std::FILE* file = std::fopen(archive.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("no startup archive");
            break;
        }
        std::fseek(file, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(std::ftell(file)));
        std::fseek(file, 0, SEEK_SET);
        const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        benchmark::DoNotOptimize(bytes.data());
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

BENCHMARK(BM_LoadLevelReadyToPlay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArchiveBytes)->Unit(benchmark::kMillisecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_LoadLevelReadyToPlay", "BM_ReadArchiveBytes", Ratio::Time, Clock::Cpu, 0,
                                       bench::TimeAtMost(50e-3)});

}  // namespace
