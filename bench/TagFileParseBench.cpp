// TagFile parsing throughput over a level-like text: nodes of tags with numbers, bracketed
// vectors, quoted names and comments. The goal is at least 50 MB/s.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineMemory.h"

namespace {

std::string MakeText() {
    std::string text = "Level\n{\n// made for the benchmark\nSIZE 20 20\nNAME \"Benchmark level\"\n";
    std::uint32_t seed = 0x38549391u;
    // A number from the engine's generator, as text.
    auto number = [&seed](std::uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return std::to_string((seed >> 5) % below);
    };
    for (int row = 0; row < 20; ++row) {
        text += "ROW";
        for (int column = 0; column < 20; ++column) text.append(" ").append(number(12));
        text += "\n";
    }
    for (int object = 0; object < 600; ++object) {
        text.append("Object").append(std::to_string(object)).append("\n{\n");
        text.append("\tType ").append(number(38)).append("\n");
        text.append("\tPosition [").append(number(200)).append(".5 ").append(number(200)).append(".25 0.0]\n");
        text.append("\tRotation [0 0 0.7071068 0.7071068]  # quarter turn\n");
        text.append("\tMesh \"objects/crate").append(number(9)).append(".knode\"\n");
        text.append("\tColor (1.0, 0.5, 0.25, 1.0)\n");
        text.append("\tFlags 0x").append(number(100)).append(" 3 4\n");
        text.append("}\n");
    }
    return text + "}\n";
}

void BM_TagFileParse(benchmark::State& state) {
    if (HeapInit() != 0) {
        state.SkipWithError("no engine heap");
        return;
    }
    const std::string text = MakeText();
    for (auto _ : state) {
        TagFile root;
        if (root.ParseText(text.c_str()) != 0) {
            state.SkipWithError("the text did not parse");
            break;
        }
        benchmark::DoNotOptimize(root.children.count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

}  // namespace

BENCHMARK(BM_TagFileParse)->Unit(benchmark::kMicrosecond);
