// The demo data of data/game/archives/startup/, packed as the build packs it into
// "startup.par": the archive mounts and its level reads as a "LEVEL" TagFile.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/files/FileStream.h"
#include "engine/core/files/TagFile.h"
#include "tests/engine/support/ArchiveTestSupport.h"

namespace {

namespace fs = std::filesystem;

class DemoDataTest : public engine_test::ArchiveTest {};

TEST_F(DemoDataTest, TheStartupArchiveHoldsAReadableLevel) {
    const fs::path folder = fs::path(HANDSET_SOURCE_DIR) / "data/game/archives/startup";
    engine_test::ArchiveEntries entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const engine_test::Bytes bytes = engine_test::ReadWholeFile(entry.path().string());
        entries.emplace_back(fs::relative(entry.path(), folder).generic_string(), std::string(bytes.begin(), bytes.end()));
    }
    std::sort(entries.begin(), entries.end());
    WriteDataArchive("startup.par", entries);
    MountArchives();
    ASSERT_EQ(MountedArchiveCount(), 1);

    TagFile level;
    ASSERT_EQ(level.Load("levels/level01.qvn", 0), 0);
    EXPECT_STREQ(level.name.Text(), "LEVEL");
    std::int32_t width = 0, height = 0;
    ASSERT_NE(level.FindTag("SIZE"), nullptr);
    EXPECT_EQ(level.FindTag("SIZE")->GetInt(0, width) + level.FindTag("SIZE")->GetInt(1, height), 2);
    int rows = 0;
    for (TagFileTag* row = level.FindTag("ROW"); row != nullptr; row = level.FindNextTag(row)) {
        EXPECT_GE(static_cast<std::int32_t>(row->ValueCount()), width);
        ++rows;
    }
    EXPECT_EQ(rows, height);
    Color ambience{};
    TagFileTag* light = level.FindTag("LIGHT");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->GetColor(1, ambience), 1);

    FileStream text;
    ASSERT_EQ(text.Open("text/readme.txt", kStreamText | kStreamReadWhole), 1);
    char line[128];
    EXPECT_EQ(text.ReadLine(line, sizeof line), 1);
    EXPECT_EQ(std::string(line).find("startup.par") != std::string::npos, true);
}

}  // namespace
