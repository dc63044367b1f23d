// Extracting a 10 MB entry from a ".par" archive in memory through the zip layer, against
// zlib's own raw inflate of the same compressed bytes into the same buffer, in one run.
// The layer also reads through minizip and checks the entry's CRC; the goal is at least
// 0.9 times zlib's speed. "compressed" is the entry's compressed size over its size.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/files/ZipArchive.h"
#include "engine/core/memory/EngineMemory.h"
#include "tools/pack_archive/ZipWriter.h"

namespace {

constexpr std::size_t kEntrySize = 10 * 1024 * 1024;

// Level-like text of words and numbers that deflates about 3:1, made by the engine's
// generator so every run is the same. (Data that deflates far better, such as long runs of
// a few words, inflates faster and leaves the checksum a larger share of the time.)
std::vector<std::uint8_t> MakeContent() {
    static const char* const kWords[] = {"tile", "row", "object", "portal", "key", "sphere", "damper", "bridge",
                                         "SIZE", "ROW", "LIGHT", "CAM", "{", "}", "[", "]"};
    std::vector<std::uint8_t> data;
    data.reserve(kEntrySize);
    std::uint32_t seed = 0x38549391u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 5;
    };
    auto put = [&data](char c) {
        if (data.size() < kEntrySize) data.push_back(static_cast<std::uint8_t>(c));
    };
    while (data.size() < kEntrySize) {
        for (const char* at = kWords[next() % 16]; *at != 0; ++at) put(*at);
        put(' ');
        const std::uint32_t number = next() % 100000;
        for (std::uint32_t digits = 10000; digits > 0; digits /= 10) put(static_cast<char>('0' + number / digits % 10));
        put(next() % 5 == 0 ? '\n' : ' ');
    }
    return data;
}

struct Fixture {
    std::vector<std::uint8_t> content = MakeContent();
    std::vector<std::uint8_t> archive;
    std::size_t dataOffset = 0;
    std::size_t compressedSize = 0;

    Fixture() {
        const std::string path = "/tmp/archive_extract_bench.par";
        ZipWriter writer(path);
        if (!writer.Add("level.txt", content) || !writer.Finish()) return;
        std::ifstream in(path, std::ios::binary);
        archive.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::remove(path.c_str());
        // The local header of the first (and only) entry: 30 bytes, the name, no extra field.
        dataOffset = 30 + 9;
        compressedSize = archive[18] | (archive[19] << 8) | (archive[20] << 16) | (std::size_t{archive[21]} << 24);
    }
};

const Fixture& TheFixture() {
    static const Fixture fixture;
    return fixture;
}

void BM_ZipExtractEntry(benchmark::State& state) {
    const Fixture& fixture = TheFixture();
    if (HeapInit() != 0 || fixture.archive.empty()) {
        state.SkipWithError("no engine heap or no archive");
        return;
    }
    ZipArchive* archive = ZipOpenArchiveImage(fixture.archive.data(), static_cast<DWORD>(fixture.archive.size()));
    std::vector<std::uint8_t> buffer(kEntrySize);
    for (auto _ : state) {
        if (ZipExtractEntry(archive, 0, buffer.data(), static_cast<DWORD>(buffer.size())) != kZipOk) {
            state.SkipWithError("the extraction failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    if (buffer != fixture.content) state.SkipWithError("the extracted data differs");
    ZipCloseArchive(archive);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
    state.counters["compressed"] = static_cast<double>(fixture.compressedSize) / kEntrySize;
}

void BM_ZlibInflate(benchmark::State& state) {
    const Fixture& fixture = TheFixture();
    std::vector<std::uint8_t> buffer(kEntrySize);
    for (auto _ : state) {
        z_stream stream{};
        inflateInit2(&stream, -MAX_WBITS);
        stream.next_in = const_cast<Bytef*>(fixture.archive.data() + fixture.dataOffset);
        stream.avail_in = static_cast<uInt>(fixture.compressedSize);
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        const int status = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        if (status != Z_STREAM_END) {
            state.SkipWithError("zlib's inflate failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    if (buffer != fixture.content) state.SkipWithError("the inflated data differs");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
}

BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZipExtractEntry)->Unit(benchmark::kMillisecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_ZipExtractEntry", "BM_ZlibInflate", Ratio::Speed, Clock::Cpu, 0.9});

}  // namespace
