// Mounting a ".par" archive of 70,000 entries in one folder, in scrambled name order, in
// one run against two baselines: minizip's own walk of the same archive's central
// directory (unzGoToFirstFile, unzGoToNextFile and each entry's information with its
// name), and the same job as the mount done plainly with the standard library (the file
// read whole, its local headers walked, every name put in a hash map by its lower-cased
// form and a vector of the names sorted without case). The mount opens the archive with
// minizip, walks the local headers and merges every entry into the sorted, case-insensitive
// directory tree. Goal: the mount in under 100 ms.
#include <benchmark/benchmark.h>
#include <minizip/unzip.h>
#include <stdlib.h>
#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/HandsetRoot.h"
#include "tools/pack_archive/ZipWriter.h"

namespace {

constexpr int kEntryCount = 70000;

// A handset root in a fresh temporary folder with the archive in its data folder.
struct Fixture {
    std::string root;
    std::string archivePath;
    bool ready = false;
    std::string error;

    Fixture() {
        char folder[] = "/tmp/archive_mount_bench_XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            error = "no temporary folder";
            return;
        }
        root = folder;
        platform::SetHandsetRoot(root);
        std::filesystem::create_directories(root + "/fs/data");
        archivePath = root + "/fs/data/big.par";
        ZipWriter writer(archivePath);
        // Every name once, in an order far from sorted (7919 is prime to the count).
        for (int i = 0; i < kEntryCount; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "levels/entry%05d.bin", static_cast<int>((std::int64_t{i} * 7919) % kEntryCount));
            if (!writer.Add(name, {static_cast<std::uint8_t>(i)})) {
                error = writer.Error();
                return;
            }
        }
        ready = writer.Finish();
        if (!ready) error = writer.Error();
    }
    ~Fixture() {
        if (!root.empty()) std::filesystem::remove_all(root);
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// minizip's walk of the central directory, reading each entry's information and name.
bool WalkCentralDirectory(const std::string& path, int& entries) {
    unzFile zip = unzOpen64(path.c_str());
    if (zip == nullptr) return false;
    entries = 0;
    char name[256];
    unz_file_info64 info;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        benchmark::DoNotOptimize(name[0]);
        ++entries;
    }
    unzClose(zip);
    return true;
}

// The mount's job with the standard library: entries by lower-cased path, names sorted.
bool MountPlainly(const std::string& path, std::size_t& entries) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t piece[1 << 16];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;) bytes.insert(bytes.end(), piece, piece + got);
    std::fclose(file);
    auto read16 = [&bytes](std::size_t at) { return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8); };
    auto read32 = [&read16](std::size_t at) { return read16(at) | (read16(at + 2) << 16); };
    std::unordered_map<std::string, std::uint64_t> byName;
    std::vector<std::string> names;
    for (std::size_t at = 0; at + 30 <= bytes.size() && read32(at) == 0x04034B50;) {
        const std::size_t nameLength = read16(at + 26);
        if (at + 30 + nameLength > bytes.size()) break;
        std::string name(reinterpret_cast<const char*>(&bytes[at + 30]), nameLength);
        std::string key = name;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (byName.emplace(std::move(key), at).second) names.push_back(std::move(name));
        at += 30 + nameLength + read16(at + 28) + read32(at + 18);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    entries = names.size();
    return true;
}

// The archive, or an error on the state when it was not written.
const Fixture* ReadyFixture(benchmark::State& state) {
    const Fixture& fixture = TheFixture();
    if (fixture.ready) return &fixture;
    state.SkipWithError(("the archive was not written: " + fixture.error).c_str());
    return nullptr;
}

void BM_Mount(benchmark::State& state) {
    if (ReadyFixture(state) == nullptr) return;
    if (HeapInit() != 0) {
        state.SkipWithError("no engine heap");
        return;
    }
    SetDataFolder("\\data\\");
    for (auto _ : state) {
        state.PauseTiming();
        UnmountAll();
        ResetArchiveTable();
        state.ResumeTiming();
        if (MountArchive("big.par") != 1 || FindArchiveFile("LEVELS/ENTRY69999.BIN") == nullptr) {
            state.SkipWithError("the mount did not see every entry");
            break;
        }
    }
    UnmountAll();
    ResetArchiveTable();
    SetDataFolder(nullptr);
    HeapTeardown();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntryCount);
}

void BM_MinizipWalk(benchmark::State& state) {
    const Fixture* fixture = ReadyFixture(state);
    if (fixture == nullptr) return;
    for (auto _ : state) {
        int walked = 0;
        if (!WalkCentralDirectory(fixture->archivePath, walked) || walked != kEntryCount) {
            state.SkipWithError("the walk did not see every entry");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntryCount);
}

void BM_PlainMount(benchmark::State& state) {
    const Fixture* fixture = ReadyFixture(state);
    if (fixture == nullptr) return;
    for (auto _ : state) {
        std::size_t entries = 0;
        if (!MountPlainly(fixture->archivePath, entries) || entries != kEntryCount) {
            state.SkipWithError("the plain mount did not see every entry");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kEntryCount);
}

BENCHMARK(BM_Mount)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_MinizipWalk)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PlainMount)->Unit(benchmark::kMillisecond)->Iterations(20);

using bench::Clock;
using bench::Ratio;
const bool kCompared = bench::Compare({"BM_Mount", "BM_MinizipWalk", Ratio::Time, Clock::Cpu, 0,
                                       bench::TimeAtMost(100e-3)}) &&
                       bench::Compare({"BM_Mount", "BM_PlainMount", Ratio::Time, Clock::Cpu, 0});

}  // namespace
