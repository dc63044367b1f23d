// The menus of the demo: loading every menu file into pages (descriptions with inheritance,
// the style, one page with its widgets per file), against reading and parsing the same
// files as plain tag trees, the least any loader does; and opening a page (its opening
// scripts, showing it, the focus on its first button, closing it again), against showing
// and hiding its widgets by their flags. Goals: loading under 30 ms, opening under a frame
// (16 ms).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchCompare.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/MenuPage.h"
#include "engine/overlay/widgets/OverlayManager.h"
#include "engine/overlay/widgets/WidgetTree.h"
#include "game/menu/GameMenus.h"
#include "game/menu/GamePageTypes.h"
#include "platform/base/HandsetRoot.h"

namespace {

namespace fs = std::filesystem;

// The demo's menu files in a handset root of their own, the engine heap and the overlay.
struct Fixture {
    bool ready = false;
    std::string root;
    std::vector<std::string> names;  // "menus/<file>"
    Fixture() {
        char folder[] = "/tmp/menu_bench_XXXXXX";
        if (mkdtemp(folder) == nullptr) return;
        root = folder;
        platform::SetHandsetRoot(root);
        const fs::path menus = fs::path(root) / "fs" / "data" / "menus";
        fs::create_directories(menus);
        for (const auto& entry : fs::directory_iterator(fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup/menus")) {
            fs::copy_file(entry.path(), menus / entry.path().filename());
            names.push_back("menus/" + entry.path().filename().string());
        }
        if (HeapInit() != 0) return;
        SetDataFolder("\\data\\");
        RegisterGamePageTypes();
        ready = Overlay().Init(nullptr) == 0 && !names.empty();
    }
    ~Fixture() {
        GetMenuManager().Shutdown();
        Overlay().Shutdown();
        SetDataFolder(nullptr);
        if (!root.empty()) fs::remove_all(root);
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

bool Ready(benchmark::State& state) {
    if (TheFixture().ready) return true;
    state.SkipWithError("the menu files or the overlay are not ready");
    return false;
}

void LoadAllMenus(benchmark::State& state) {
    if (!Ready(state)) return;
    MenuManager& menus = GetMenuManager();
    for (auto _ : state) {
        menus.Shutdown();
        if (menus.LoadMenus() != 1) {
            state.SkipWithError("the demo's menus do not load");
            break;
        }
        benchmark::DoNotOptimize(menus.pages.count);
    }
    state.counters["pages"] = static_cast<double>(menus.pages.count);
}

void ParseMenuFilesBaseline(benchmark::State& state) {
    if (!Ready(state)) return;
    for (auto _ : state) {
        std::uint32_t nodes = 0;
        for (const std::string& name : TheFixture().names) {
            TagFile tree;
            if (tree.Load(name.c_str(), 0) != 0) {
                state.SkipWithError("a menu file does not parse");
                return;
            }
            nodes += tree.children.count + tree.tags.count;
        }
        benchmark::DoNotOptimize(nodes);
    }
}

MenuPage* LoadedPage(benchmark::State& state, const char* name) {
    MenuManager& menus = GetMenuManager();
    if (menus.pages.count == 0 && menus.LoadMenus() != 1) return nullptr;
    MenuPage* page = menus.FindPage(name);
    if (page == nullptr) state.SkipWithError("no page to open");
    return page;
}

void OpenPage(benchmark::State& state) {
    if (!Ready(state)) return;
    MenuPage* page = LoadedPage(state, "Main");
    if (page == nullptr) return;
    MenuManager& menus = GetMenuManager();
    for (auto _ : state) {
        menus.ClearHistory();
        menus.GotoPage("Main", 1);
        page->OnOpen(0, 0);
        SetVisible(page, 1);
        if (Control* first = FindFirstFocusable(page)) SetFocusWindow(first);
        benchmark::DoNotOptimize(Overlay().focus);
        page->CloseWithoutResult();
        page->flags |= kControlModal;
        menus.pending = nullptr;
    }
}

void ShowWidgetsBaseline(benchmark::State& state) {
    if (!Ready(state)) return;
    MenuPage* page = LoadedPage(state, "Main");
    if (page == nullptr) return;
    for (auto _ : state) {
        page->flags |= kControlShown;
        for (KDLLink* link = page->children.head; link != nullptr; link = link->next)
            static_cast<Control*>(link->item)->flags |= kControlShown;
        benchmark::DoNotOptimize(page->flags);
        page->flags &= ~kControlShown;
    }
}

BENCHMARK(LoadAllMenus)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseMenuFilesBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(ShowWidgetsBaseline)->Unit(benchmark::kMicrosecond);

using bench::Clock;
using bench::Ratio;
const bool kCompared =
    bench::Compare({"LoadAllMenus", "ParseMenuFilesBaseline", Ratio::Time, Clock::Cpu, 0, bench::TimeAtMost(0.030)}) &&
    bench::Compare({"OpenPage", "ShowWidgetsBaseline", Ratio::Time, Clock::Cpu, 0, bench::TimeAtMost(0.016)});

}  // namespace
