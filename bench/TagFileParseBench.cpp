// TagFile parsing over a level-like text (nodes of tags with numbers, bracketed vectors,
// quoted names and comments), against a plain tokenising pass over the same text with the C
// library in the same run: strtok_r at blanks, brackets and commas, and strtof (strtoul for
// hexadecimal) of every number. Both sides use what they read: the tree is read as a level
// loader reads it (every number through the tag getters) and both sums of the numbers must
// agree. The goal: at least 100 MB/s for parsing.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
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

const std::string& Text() {
    static const std::string text = MakeText();
    return text;
}

// What a level loader reads: the grid, then each object's tags by name. The sum of every
// number, and (in `characters`) the length of every quoted text.
double ReadLevel(TagFile& root, std::size_t& characters) {
    double sum = 0;
    std::int32_t integer = 0;
    std::uint32_t flags = 0;
    EngineString text;
    if (TagFileTag* size = root.FindTag("SIZE")) {
        for (std::uint32_t i = 0; i < 2; ++i)
            if (size->GetInt(i, integer) != 0) sum += integer;
    }
    if (TagFileTag* name = root.FindTag("NAME"); name != nullptr && name->GetString(0, text) != 0)
        characters += text.Length();
    for (TagFileTag* row = root.FindTag("ROW"); row != nullptr; row = root.FindNextTag(row)) {
        for (std::uint32_t i = 0; i < row->ValueCount(); ++i)
            if (row->GetInt(i, integer) != 0) sum += integer;
    }
    for (KDLLink* link = root.children.head; link != nullptr; link = link->next) {
        auto* object = static_cast<TagFile*>(link->item);
        Vector3 position{};
        Quaternion rotation{};
        Color colour{};
        if (TagFileTag* tag = object->FindTag("Type"); tag != nullptr && tag->GetInt(0, integer) != 0) sum += integer;
        if (TagFileTag* tag = object->FindTag("Position"); tag != nullptr && tag->GetVector3(0, position) != 0)
            sum += double{position.x} + double{position.y} + double{position.z};
        if (TagFileTag* tag = object->FindTag("Rotation"); tag != nullptr && tag->GetQuaternion(0, rotation) != 0)
            sum += double{rotation.x} + double{rotation.y} + double{rotation.z} + double{rotation.w};
        if (TagFileTag* tag = object->FindTag("Mesh"); tag != nullptr && tag->GetString(0, text) != 0)
            characters += text.Length();
        if (TagFileTag* tag = object->FindTag("Color"); tag != nullptr && tag->GetColor(0, colour) != 0)
            sum += double{colour.r} + double{colour.g} + double{colour.b} + double{colour.a};
        if (TagFileTag* tag = object->FindTag("Flags")) {
            if (tag->GetUInt(0, flags) != 0) sum += flags;
            for (std::uint32_t i = 1; i < 3; ++i)
                if (tag->GetInt(i, integer) != 0) sum += integer;
        }
    }
    return sum;
}

// The plain pass: every token that starts like a number is converted.
double TokeniseAndConvert(std::vector<char>& copy, std::size_t& tokens) {
    const std::string& text = Text();
    std::memcpy(copy.data(), text.c_str(), text.size() + 1);
    double sum = 0;
    char* state = nullptr;
    for (char* token = strtok_r(copy.data(), " \t\r\n[](),", &state); token != nullptr;
         token = strtok_r(nullptr, " \t\r\n[](),", &state)) {
        ++tokens;
        if (std::isdigit(static_cast<unsigned char>(token[0])) == 0 && token[0] != '-' && token[0] != '.') continue;
        if (token[0] == '0' && token[1] == 'x')
            sum += static_cast<double>(std::strtoul(token, nullptr, 16));
        else
            sum += double{std::strtof(token, nullptr)};
    }
    return sum;
}

double BaselineSum() {
    std::vector<char> copy(Text().size() + 1);
    std::size_t tokens = 0;
    return TokeniseAndConvert(copy, tokens);
}

bool SameSum(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::fabs(b); }

void TagFileParse(benchmark::State& state) {
    if (HeapInit() != 0) {
        state.SkipWithError("no engine heap");
        return;
    }
    const std::string& text = Text();
    std::uint32_t objects = 0;
    for (auto _ : state) {
        TagFile root;
        if (root.ParseText(text.c_str()) != 0) {
            state.SkipWithError("the text did not parse");
            break;
        }
        objects += root.children.count;
    }
    benchmark::DoNotOptimize(objects);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    HeapTeardown();
}

void TagFileParseAndRead(benchmark::State& state) {
    if (HeapInit() != 0) {
        state.SkipWithError("no engine heap");
        return;
    }
    const std::string& text = Text();
    double sum = 0;
    std::size_t characters = 0;
    for (auto _ : state) {
        TagFile root;
        if (root.ParseText(text.c_str()) != 0) {
            state.SkipWithError("the text did not parse");
            break;
        }
        sum = ReadLevel(root, characters);
    }
    if (!SameSum(sum, BaselineSum())) state.SkipWithError("the tree's numbers differ from the text's");
    benchmark::DoNotOptimize(characters);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    HeapTeardown();
}

void StrtokBaseline(benchmark::State& state) {
    const std::string& text = Text();
    std::vector<char> copy(text.size() + 1);
    double sum = 0;
    std::size_t tokens = 0;
    for (auto _ : state) sum = TokeniseAndConvert(copy, tokens);
    benchmark::DoNotOptimize(sum);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(TagFileParse)->Unit(benchmark::kMicrosecond);
BENCHMARK(TagFileParseAndRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(StrtokBaseline)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"TagFileParse", "StrtokBaseline", Ratio::Speed, Clock::Cpu, 0,
                                       bench::CounterAtLeast("bytes_per_second", 100e6)}) &&
                       bench::Compare({"TagFileParseAndRead", "StrtokBaseline", Ratio::Speed, Clock::Cpu, 0});

}  // namespace
