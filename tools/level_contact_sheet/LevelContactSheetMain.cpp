// level_contact_sheet: one PNG with a thumbnail of every level, drawn by the engine's own
// render path as kelview draws, for authors and for review. `level_contact_sheet --help`
// tells the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/app/AppFiles.h"
#include "engine/core/containers/KDLList.h"
#include "engine/core/files/ArchiveDirectory.h"
#include "engine/core/memory/StandardErrorLog.h"
#include "engine/core/text/EngineString.h"
#include "platform/screen/PngFile.h"
#include "tools/kelview/ViewSession.h"
#include "tools/level_contact_sheet/ContactSheet.h"
#include "tools/qvn_play/LevelRun.h"

namespace {

// The levels of one folder of the data, disk and archives, sorted, as "folder/name.qvn".
void ListLevels(const char* folder, std::vector<std::string>& levels) {
    KDLList names;
    ListFiles(folder, "qvn", names, kListDiskEntries | kListSorted);
    for (KDLListIterator it(names); !it.AtEnd(); it.Next())
        if (const auto* name = static_cast<const EngineString*>(it.Item()))
            levels.push_back(std::string(folder) + "/" + name->Text() + ".qvn");
    ListDeleteAll(names, EngineString::DeleteItem);
}

// The name under a thumbnail: the level's file name, custom levels marked.
std::string LevelLabel(const std::string& level) {
    const std::size_t slash = level.find_last_of('/');
    std::string name = slash == std::string::npos ? level : level.substr(slash + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".qvn") == 0) name.resize(name.size() - 4);
    return level.rfind("customlevels/", 0) == 0 ? "custom: " + name : name;
}

// The level at its start, seen from its overview camera.
bool RenderLevel(kelview::ViewSession& session, const std::string& name, const kelview::ViewOptions& base,
                 platform::screen::Image& thumb, std::string& error) {
    qvn_play::LevelRun run;
    if (!run.Load(name, error)) return false;
    kelview::ViewOptions view = base;
    qvn_play::FrameOverview(run.level(), view);
    return qvn_play::RenderLevelRun(session, run, view, thumb, error);
}

int Run(const contact_sheet::SheetOptions& options) {
    kelview::ViewOptions view;
    qvn_play::DataSource data;
    data.Apply(options.data, view);
    view.width = options.thumbWidth;
    view.height = options.thumbHeight;
    kelview::ViewSession session;
    std::string error;
    if (!session.Start(view, &error) || !session.StartDevice(view, &error)) {
        std::fprintf(stderr, "level_contact_sheet: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> levels = options.levels;
    if (levels.empty()) {
        ListLevels("levels", levels);
        ListLevels("customlevels", levels);
    }
    if (levels.empty()) {
        std::fprintf(stderr, "level_contact_sheet: the data has no levels (levels/*.qvn, customlevels/*.qvn).\n");
        return 1;
    }
    contact_sheet::SheetPainter painter(options);
    if (!painter.Begin(levels.size(), error)) {
        std::fprintf(stderr, "level_contact_sheet: %s\n", error.c_str());
        return 1;
    }
    int status = 0;
    for (const std::string& level : levels) {
        platform::screen::Image thumb;
        if (!RenderLevel(session, level, view, thumb, error)) {
            std::fprintf(stderr, "level_contact_sheet: %s: %s\n", level.c_str(), error.c_str());
            status = 1;
            thumb = platform::screen::Image{};
        }
        painter.Add(thumb, LevelLabel(level));
    }
    if (!platform::screen::WritePng(painter.Sheet(), options.picture, error)) {
        std::fprintf(stderr, "level_contact_sheet: %s\n", error.c_str());
        return 1;
    }
    std::printf("level_contact_sheet: wrote %s (%dx%d, %zu levels)\n", options.picture.c_str(), painter.Sheet().width,
                painter.Sheet().height, levels.size());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    contact_sheet::SheetOptions options;
    std::string error;
    if (!contact_sheet::ParseSheetOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "level_contact_sheet: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(contact_sheet::SheetHelpText(), stdout);
        return 0;
    }
    SetLogStream(&StandardErrorLog());
    return Run(options);
}
