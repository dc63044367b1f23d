// One step of the world with every kind of level object active: a 20 x 14 level with keys,
// spike cubes, dampers, blocker doors, bridges, TESK, ODILE, the exit portal, big plants and
// five firefly swarms, the demo models loaded from the startup archive; the step is the level
// update (character against tiles and objects, every object, the plants) and the character's
// own update. Against the plainest object step: each object's own Update alone, in the same
// run. The goal: under 0.5 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/BenchCompare.h"
#include "bench/WorldBenchData.h"
#include "engine/core/containers/KDLList.h"
#include "engine/resources/kdb/KDB.h"
#include "game/world/level/Level.h"
#include "game/world/levelfile/LevelFile.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "game/world/rules/CharacterInteractions.h"
#include "game/world/update/LevelUpdate.h"

namespace {

constexpr float kStep = 0.033f;

std::string BusyLevel() {
    std::string text = "LEVEL\n{\nSIZE 20 14\n";
    for (int row = 0; row < 14; ++row) {
        text += "ROW";
        for (int column = 0; column < 20; ++column) text += row < 10 ? " 1" : " 99";
        text += "\n";
    }
    text += "SPAWNPOINT 0 9\nEXITPOINT UP 19 0\n";
    const char* const directions[] = {"UP", "DOWN", "LEFT", "RIGHT"};
    for (int i = 0; i < 10; ++i) text += "KEY " + std::to_string(2 + i) + " 1\n";
    for (int i = 0; i < 4; ++i) {
        const std::string d = directions[i];
        const std::string column = std::to_string(2 + 4 * i);
        text += "SPIKECUBE " + column + " 3\n";
        text += "DAMPER " + d + " " + column + " 5\n";
        text += "BLOCKER " + d + " " + std::to_string(3 + 4 * i) + " 5\n";
        text += "BRIDGE " + d + " " + column + " 7\n";
        text += "TESK_L " + d + " " + std::to_string(3 + 4 * i) + " 7\n";
        text += "TESK_R " + d + " " + std::to_string(4 + 4 * i) + " 3\n";
        text += "BIGPLANT " + d + " " + std::to_string(1 + 4 * i) + " 8\n";
        text += "BIGPLANT2 " + d + " " + std::to_string(2 + 4 * i) + " 8\n";
        text += "SPIKES " + d + " " + std::to_string(4 + 4 * i) + " 9\n";
    }
    text += "ODILE 18 9\nSPAWNPOINT 0 9\nLIGHT AMBIENCE [0.4 0.4 0.45 1]\nLIGHT DIR (0.5 -0.5 -1) [1 1 1 1]\n}\n";
    return text;
}

struct World {
    World() {
        if (!data.ready) return;
        SetCurrentKdb(&database);
        level = new Level();
        character = new PlayerCharacter();
        character->LoadModel();
        level->character = character;
        ready = LoadLevelText(*level, BusyLevel().c_str(), "busy level") == 1;
        LandCharacter(*level, *character);
    }
    ~World() {
        if (level != nullptr) Unload(*level);
        delete level;
        delete character;
        database.Clear();
    }
    world_bench::MountedData data;
    KDB database;
    Level* level = nullptr;
    PlayerCharacter* character = nullptr;
    bool ready = false;
};

World& TheWorld() {
    static World world;
    return world;
}

void BM_WorldStep(benchmark::State& state) {
    World& world = TheWorld();
    if (!world.ready) {
        state.SkipWithError("no startup archive or the level did not load: build the bench build's demo_data");
        return;
    }
    for (auto _ : state) {
        UpdateLevel(*world.level, kStep);
        UpdatePlayer(*world.character, kStep);
        benchmark::DoNotOptimize(world.character->position);
    }
    state.counters["objects"] = static_cast<double>(world.level->activeObjects.count);
    state.counters["swarms"] = static_cast<double>(world.level->fireflySwarmCount);
}

void BM_ObjectsOwnStep(benchmark::State& state) {
    World& world = TheWorld();
    if (!world.ready) {
        state.SkipWithError("no startup archive or the level did not load");
        return;
    }
    for (auto _ : state) {
        for (KDLLink* link = world.level->activeObjects.head; link != nullptr; link = link->next)
            static_cast<LevelObject*>(link->item)->Update(kStep);
        benchmark::ClobberMemory();
    }
    state.counters["objects"] = static_cast<double>(world.level->activeObjects.count);
}

BENCHMARK(BM_WorldStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ObjectsOwnStep)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared =
    bench::Compare({"BM_WorldStep", "BM_ObjectsOwnStep", Ratio::Time, Clock::Cpu, 0, bench::TimeAtMost(0.5e-3)});

}  // namespace
