// Parsing layout documents into trees and walking them, against a plain scan of the same
// text that looks at every character once (counting the tags), in one run. Goals: at least
// 300 MB/s of layout file for documents parsed one after another, at least 100 MB/s for the
// first document of a fresh process.
//
// The fresh-process figure starts this program anew for each document (with the argument
// below), so that nothing of an earlier parse, neither kept memory nor a warmed heap, helps.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
#include "dialer/xml/XmlDocument.h"

extern char** environ;

namespace {

constexpr char kFirstDocumentArgument[] = "--first-document";
constexpr std::size_t kLargeLayoutBytes = 1 << 20;

// A layout file shaped like the dialer's: layouts of layers of items, each with value
// elements, comments and some text.
std::string MakeLayoutFile(std::size_t targetBytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Layouts>\n";
    for (int layout = 0; text.size() < targetBytes; ++layout) {
        text += "  <Layout Name=\"Screen" + std::to_string(layout) + "\" Class=\"Orm.Data.DialPad\">\n";
        text += "    <!-- layer list of screen " + std::to_string(layout) + " -->\n";
        text += "    <Rect Name=\"BoundRect\" X=\"0\" Y=\"0\" Width=\"480\" Height=\"800\"/>\n";
        text += "    <Font Name=\"DefaultFont\" Face=\"Tahoma\" HeightPxl=\"24\" Bold=\"y\" ClearType=\"y\"/>\n";
        for (int layer = 0; layer < 4; ++layer) {
            text += "    <Layer Name=\"Layer" + std::to_string(layer) + "\" ScrollY=\"1\" Clip=\"0\">\n";
            for (int item = 0; item < 6; ++item) {
                text += "      <Item Class=\"Orm.LSP.Button\" Name=\"Key" + std::to_string(item) + "\">\n";
                text += "        <Point Name=\"LeftTop\" X=\"" + std::to_string(item * 160) + "\" Y=\"" +
                        std::to_string(layer * 100) + "\"/>\n";
                text += "        <Color Name=\"TextColor\" Value=\"FFFFFF\"/>\n";
                text += "        <String Name=\"Caption\" Value=\"Key  " + std::to_string(item) + "\"/>\n";
                text += "        <Label>press   to dial</Label>\n";
                text += "      </Item>\n";
            }
            text += "    </Layer>\n";
        }
        text += "  </Layout>\n";
    }
    text += "</Layouts>\n";
    return text;
}

// The layout loader hands the parser UTF-16; the file is ASCII here.
std::u16string ToText(const std::string& file) { return std::u16string(file.begin(), file.end()); }

// What a loader does with a tree: visit every node, its name, value and attributes. The
// count of nodes, and the first characters of what was read added up.
struct WalkResult {
    std::size_t nodes = 0;
    std::size_t characters = 0;
};

WalkResult Walk(const CXmlElement& root) {
    WalkResult result;
    std::vector<CXmlElement> pending{root};
    while (!pending.empty()) {
        const CXmlElement node = pending.back();
        pending.pop_back();
        if (LPCWSTR name = node.GetName()) result.characters += name[0];
        if (LPCWSTR value = node.GetValue()) result.characters += value[0];
        for (int i = 0; i < node.GetAttributeCount(); ++i)
            if (LPCWSTR text = node.GetAttribute(i).GetAttributeText()) result.characters += text[0];
        for (int i = 0; i < node.GetChildCount(); ++i) pending.push_back(node.GetChild(i));
        ++result.nodes;
    }
    return result;
}

// Parsing edits its text: each parse gets a fresh copy, made outside the timing.
void CopyText(const std::u16string& text, WCHAR* buffer) {
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
}

WalkResult ParseAndWalk(WCHAR* text) {
    CXmlDocument document;
    document.Parse(text);
    return Walk(document.GetRoot());
}

void BM_ScanLayoutFile(benchmark::State& state) {
    const std::string file = MakeLayoutFile(static_cast<std::size_t>(state.range(0)));
    const std::u16string text = ToText(file);
    for (auto _ : state) {
        std::size_t tags = 0;
        for (char16_t c : text) tags += c == u'<';
        benchmark::DoNotOptimize(tags);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
}

void BM_ParseLayoutFiles(benchmark::State& state) {
    const std::string file = MakeLayoutFile(static_cast<std::size_t>(state.range(0)));
    const std::u16string text = ToText(file);
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[text.size() + 1]);
    WalkResult seen;
    for (auto _ : state) {
        state.PauseTiming();
        CopyText(text, buffer.get());
        state.ResumeTiming();
        seen = ParseAndWalk(buffer.get());
        benchmark::DoNotOptimize(seen);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
    state.counters["nodes"] = static_cast<double>(seen.nodes);
}

// The thread's processor time, its page faults included, as the other benchmarks count
// theirs: a busy machine's waits do not count.
long long ThreadNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000ll + now.tv_nsec;
}

// One document in a process of its own: the time of the parse and walk alone, in
// nanoseconds on standard output.
int RunFirstDocument() {
    const std::u16string text = ToText(MakeLayoutFile(kLargeLayoutBytes));
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[text.size() + 1]);
    CopyText(text, buffer.get());
    const long long start = ThreadNanoseconds();
    const WalkResult seen = ParseAndWalk(buffer.get());
    const long long elapsed = ThreadNanoseconds() - start;
    std::printf("%lld %zu %zu\n", elapsed, seen.nodes, seen.characters);
    return 0;
}

// Starts this program for one document; its time in seconds, or a negative number.
double TimeFirstDocument() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char program[] = "/proc/self/exe";
    char argument[sizeof kFirstDocumentArgument];
    std::memcpy(argument, kFirstDocumentArgument, sizeof argument);
    char* arguments[] = {program, argument, nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string answer;
    char chunk[64];
    for (ssize_t got; spawned == 0 && (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        answer.append(chunk, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    long long nanoseconds = 0;
    if (std::sscanf(answer.c_str(), "%lld", &nanoseconds) != 1) return -1;
    return static_cast<double>(nanoseconds) * 1e-9;
}

void BM_ParseFirstLayoutFileOfAProcess(benchmark::State& state) {
    const std::size_t bytes = MakeLayoutFile(kLargeLayoutBytes).size();
    for (auto _ : state) {
        const double seconds = TimeFirstDocument();
        if (seconds < 0) {
            state.SkipWithError("the child process gave no time");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

const bool kRole = bench::AddRole(kFirstDocumentArgument, RunFirstDocument);

BENCHMARK(BM_ScanLayoutFile)->Arg(64 << 10)->Arg(kLargeLayoutBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseLayoutFiles)->Arg(64 << 10)->Arg(kLargeLayoutBytes)->Unit(benchmark::kMicrosecond);
// One process per run; the median, as a busy machine now and then holds up a process far
// longer than its parse takes.
BENCHMARK(BM_ParseFirstLayoutFileOfAProcess)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(25)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// The child's time is its parse's processor time, as the scan's is.
using bench::Clock;
using bench::Ratio;
constexpr double kMegabyte = 1e6;
const bool kCompared =
    bench::Compare({"BM_ParseLayoutFiles/65536", "BM_ScanLayoutFile/65536", Ratio::Speed, Clock::Cpu, 0,
                    bench::CounterAtLeast("bytes_per_second", 300 * kMegabyte)}) &&
    bench::Compare({"BM_ParseLayoutFiles/1048576", "BM_ScanLayoutFile/1048576", Ratio::Speed, Clock::Cpu, 0,
                    bench::CounterAtLeast("bytes_per_second", 300 * kMegabyte)}) &&
    bench::Compare({"BM_ParseFirstLayoutFileOfAProcess", "BM_ScanLayoutFile/1048576", Ratio::Speed, Clock::Cpu, 0,
                    bench::CounterAtLeast("bytes_per_second", 100 * kMegabyte)});

}  // namespace
