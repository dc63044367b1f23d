// Tests of the save file: its layout, the states that allow saving and loading, the files it
// refuses without touching the profile, and saves that fail or are killed half-way, which
// must leave the previous file loadable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/app/Application.h"
#include "engine/app/UserSave.h"
#include "platform/fs/Files.h"
#include "tests/support/TestSupport.h"

namespace {

// A profile whose payload is one generation number repeated: a payload that mixes two
// generations, or holds anything else, is refused.
class GenerationSave : public UserSave {
public:
    int WritePayload(BYTE* payload, std::size_t size) override {
        if (failWrite) return 0;
        for (std::size_t i = 0; i + 4 <= size; i += 4) std::memcpy(payload + i, &generation, 4);
        return 1;
    }
    int ReadPayload(const BYTE* payload, std::size_t size) override {
        std::uint32_t first = 0;
        std::memcpy(&first, payload, 4);
        for (std::size_t i = 0; i + 4 <= size; i += 4)
            if (std::memcmp(payload + i, &first, 4) != 0) return 0;
        if (refuseRead) return 0;
        generation = first;
        return 1;
    }
    // Every field of the file follows the generation, so a record from two saves shows.
    void Become(std::uint32_t value) {
        generation = value;
        for (std::size_t i = 0; i < kUserSaveKeySize; ++i) key[i] = static_cast<BYTE>(value + i);
        std::snprintf(name, sizeof name, "save %u", value);
        awardWords[0] = value;
        awardWords[1] = ~value;
    }
    bool Consistent() const {
        GenerationSave expected;
        expected.Become(generation);
        return std::memcmp(key, expected.key, sizeof key) == 0 && std::strcmp(name, expected.name) == 0 &&
               awardWords[0] == generation && awardWords[1] == ~generation;
    }

    std::uint32_t generation = 0;
    bool failWrite = false;
    bool refuseRead = false;
};

class UserSaveTest : public ::testing::Test {
protected:
    void SetUp() override { SetSaveFolder("\\Saved Games\\Quorvane\\"); }
    void TearDown() override { SetSaveFolder(""); }
    std::filesystem::path Folder() const {
        return std::filesystem::path(root_.Path()) / "fs" / "Saved Games" / "Quorvane";
    }
    std::filesystem::path File() const { return Folder() / "user.sav"; }
    std::vector<BYTE> Bytes() const {
        std::ifstream file(File(), std::ios::binary);
        return std::vector<BYTE>(std::istreambuf_iterator<char>(file), {});
    }
    void Write(const std::vector<BYTE>& bytes) const {
        std::filesystem::create_directories(Folder());
        std::ofstream(File(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
    }
    // A ready profile holding generation `value`.
    static void Ready(GenerationSave& save, std::uint32_t value) {
        save.Become(value);
        save.loadState = kUserSaveReady;
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(UserSaveTest, ASavedFileHasItsLayoutAndLoadsBackWhole) {
    GenerationSave saved;
    Ready(saved, 0x01020304);
    ASSERT_EQ(saved.Save(), 1);
    const std::vector<BYTE> bytes = Bytes();
    ASSERT_EQ(bytes.size(), 3080u);
    EXPECT_EQ(std::memcmp(bytes.data(), saved.key, 8), 0) << "the id heads the file";
    EXPECT_EQ(bytes[8], 1);
    EXPECT_EQ(bytes[9] | bytes[10] | bytes[11], 0) << "format word 1, little-endian";
    EXPECT_EQ(std::memcmp(bytes.data() + 12, saved.key, 8), 0) << "and is repeated in the record";
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 20), "save 16909060");
    EXPECT_EQ(bytes[52], 0x04);
    EXPECT_EQ(bytes[56], 0xFB) << "word B";
    EXPECT_EQ(bytes[60], 0x04) << "the payload starts after the 52-byte header";
    EXPECT_FALSE(std::filesystem::exists(File().string() + ".tmp"));

    GenerationSave loaded;
    loaded.loadState = kUserSaveReady;
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.generation, 0x01020304u);
    EXPECT_TRUE(loaded.Consistent());
    EXPECT_EQ(std::memcmp(CurrentProfileId(), saved.key, 8), 0) << "the loaded id becomes the current one";

    // A second save replaces the first.
    Ready(saved, 7);
    ASSERT_EQ(saved.Save(), 1);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.generation, 7u);
}

TEST_F(UserSaveTest, OnlyAReadyProfileSavesOrLoadsAndMarkReadyFinishesStatesOneAndTwo) {
    GenerationSave ready;
    Ready(ready, 5);
    ASSERT_EQ(ready.Save(), 1);
    const struct {
        DWORD state;
        DWORD afterMarkReady;
    } cases[] = {{0, 0}, {1, 3}, {2, 3}, {3, 3}, {4, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        GenerationSave save;
        save.Become(9);
        save.loadState = c.state;
        if (c.state < kUserSaveReady) {
            EXPECT_EQ(save.Save(), 0);
            EXPECT_EQ(save.Load(), 0);
            EXPECT_EQ(save.generation, 9u);
        }
        EXPECT_EQ(save.MarkReady(), 1);
        EXPECT_EQ(save.loadState, c.afterMarkReady);
    }
    GenerationSave check;
    check.loadState = kUserSaveReady;
    ASSERT_EQ(check.Load(), 1);
    EXPECT_EQ(check.generation, 5u) << "nothing was written while not ready";

    check.Reset();
    EXPECT_EQ(check.loadState, 0u);
    EXPECT_EQ(check.name[0], 0);
    EXPECT_EQ(check.awardWords[0] | check.awardWords[1], 0u);
    EXPECT_EQ(check.key[0] | check.key[7], 0);
}

TEST_F(UserSaveTest, ARefusedFileLeavesTheProfileAndTheCurrentIdAsTheyWere) {
    GenerationSave writer;
    Ready(writer, 11);
    ASSERT_EQ(writer.Save(), 1);
    const std::vector<BYTE> good = Bytes();

    const struct {
        const char* what;
        std::size_t size;
        std::size_t patchAt;
        BYTE patch;
        bool refusePayload;
    } cases[] = {
        {"a file one byte short", 3079, 0, 0, false},
        {"an empty file", 0, 0, 0, false},
        {"format word 2", 3080, 8, 2, false},
        {"format word 1 << 24", 3080, 11, 1, false},
        {"a payload the profile refuses", 3080, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BYTE> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(c.size));
        if (c.patchAt != 0) bytes[c.patchAt] = c.patch;
        Write(bytes);
        const BYTE before[kUserSaveKeySize] = {0xAA, 0xBB};
        SetCurrentProfileId(before);
        GenerationSave profile;
        Ready(profile, 3);
        profile.refuseRead = c.refusePayload;
        EXPECT_EQ(profile.Load(), 0);
        EXPECT_EQ(profile.generation, 3u);
        EXPECT_TRUE(profile.Consistent()) << "id, name and words are still generation 3's";
        EXPECT_EQ(profile.loadState, kUserSaveReady);
        EXPECT_EQ(std::memcmp(CurrentProfileId(), before, sizeof before), 0);
    }
}

// A save the game cannot take is not overwritten by the next save: it is kept aside under
// the first free ".bad" name, and the log says so. Something other than a file in the save's
// place would stop every later save: it is kept aside the same way.
TEST_F(UserSaveTest, ADamagedSaveIsKeptAsideAndTheNextSaveIsWritten) {
    GenerationSave writer;
    Ready(writer, 31);
    ASSERT_EQ(writer.Save(), 1);
    const std::vector<BYTE> good = Bytes();
    const std::string path = File().string();
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"a bit flipped in the payload",
         [&] {
             std::vector<BYTE> bytes = good;
             bytes[1500] ^= 0x10;
             Write(bytes);
         }},
        {"a truncated file", [&] { Write(std::vector<BYTE>(good.begin(), good.begin() + 1000)); }},
        {"a file longer than a save",
         [&] {
             std::vector<BYTE> bytes = good;
             bytes.resize(good.size() + 4096, 0x55);
             Write(bytes);
         }},
        {"an empty file", [&] { Write({}); }},
        {"a folder", [&] { std::filesystem::create_directory(path); }},
        {"a pipe", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"a link to a folder",
         [&] {
             std::filesystem::create_directory(path + ".folder");
             std::filesystem::create_symlink(path + ".folder", path);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(Folder());
        std::filesystem::create_directories(Folder());
        std::filesystem::create_directory(path + ".bad");  // taken: the next name is used
        c.make();
        const auto kind = std::filesystem::symlink_status(path).type();

        testing::internal::CaptureStderr();
        GenerationSave profile;
        Ready(profile, 32);
        EXPECT_EQ(profile.Load(), 0);
        EXPECT_EQ(profile.Save(), 1);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("user.sav.bad1"), std::string::npos) << said;

        EXPECT_EQ(std::filesystem::symlink_status(path + ".bad1").type(), kind);
        EXPECT_TRUE(std::filesystem::is_directory(path + ".bad"));
        GenerationSave loaded;
        loaded.loadState = kUserSaveReady;
        ASSERT_EQ(loaded.Load(), 1);
        EXPECT_EQ(loaded.generation, 32u);
    }
    // A link that leads nowhere (or out of the handset's files) cannot be handled through
    // them: the save fails, and says so.
    std::filesystem::remove_all(Folder());
    std::filesystem::create_directories(Folder());
    std::filesystem::create_symlink(path + ".nowhere", path);
    {
        GenerationSave profile;
        Ready(profile, 34);
        testing::internal::CaptureStderr();
        EXPECT_EQ(profile.Save(), 0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("the progress is not saved"), std::string::npos) << said;
        EXPECT_TRUE(std::filesystem::is_symlink(path));
    }

    // The bytes of a damaged file are kept as they were.
    std::filesystem::remove_all(Folder());
    std::vector<BYTE> flipped = good;
    flipped[1500] ^= 0x10;
    Write(flipped);
    GenerationSave profile;
    Ready(profile, 33);
    testing::internal::CaptureStderr();
    EXPECT_EQ(profile.Load(), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("checksum"), std::string::npos) << said;
    std::ifstream kept(path + ".bad", std::ios::binary);
    EXPECT_EQ(std::vector<BYTE>(std::istreambuf_iterator<char>(kept), {}), flipped);
}

// Saves written before the checksum have zero in its place: they are read without it.
TEST_F(UserSaveTest, ASaveFromBeforeTheChecksumStillLoads) {
    GenerationSave writer;
    Ready(writer, 41);
    ASSERT_EQ(writer.Save(), 1);
    std::vector<BYTE> bytes = Bytes();
    const std::vector<BYTE> checksum(bytes.end() - 4, bytes.end());
    EXPECT_NE(checksum, std::vector<BYTE>(4, 0));
    std::fill(bytes.end() - 4, bytes.end(), 0);
    Write(bytes);
    GenerationSave loaded;
    loaded.loadState = kUserSaveReady;
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.generation, 41u);
    EXPECT_TRUE(loaded.Consistent());
}

TEST_F(UserSaveTest, ANameThatFillsItsFieldIsCutToThirtyOneCharacters) {
    GenerationSave writer;
    Ready(writer, 1);
    std::memset(writer.name, 'n', sizeof writer.name);  // no terminator
    ASSERT_EQ(writer.Save(), 1);
    std::vector<BYTE> bytes = Bytes();
    EXPECT_EQ(bytes[20 + 31], 0) << "the field is written terminated";
    bytes[20 + 31] = 'n';  // a file from elsewhere, without a checksum
    std::fill(bytes.end() - static_cast<std::ptrdiff_t>(kUserSaveChecksumSize), bytes.end(), 0);
    Write(bytes);
    GenerationSave loaded;
    loaded.loadState = kUserSaveReady;
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(std::strlen(loaded.name), 31u);
}

TEST_F(UserSaveTest, AFailedSaveKeepsThePreviousFileWhole) {
    GenerationSave save;
    Ready(save, 21);
    ASSERT_EQ(save.Save(), 1);
    const std::vector<BYTE> before = Bytes();

    Ready(save, 22);
    save.failWrite = true;
    EXPECT_EQ(save.Save(), 0) << "a payload that cannot be written";
    EXPECT_EQ(Bytes(), before);

    // The temporary file cannot be made: a folder stands in its place.
    save.failWrite = false;
    std::filesystem::create_directory(File().string() + ".tmp");
    testing::internal::CaptureStderr();
    EXPECT_EQ(save.Save(), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("the progress is not saved"), std::string::npos) << said;
    EXPECT_EQ(Bytes(), before);
    std::filesystem::remove(File().string() + ".tmp");

    // A stale temporary file from an interrupted save is neither read nor in the way.
    std::ofstream(File().string() + ".tmp") << "half a save";
    GenerationSave loaded;
    loaded.loadState = kUserSaveReady;
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.generation, 21u);
    ASSERT_EQ(save.Save(), 1);
    ASSERT_EQ(loaded.Load(), 1);
    EXPECT_EQ(loaded.generation, 22u);
    EXPECT_FALSE(std::filesystem::exists(File().string() + ".tmp"));
}

// Saves generations from `first` on for ever, writing each finished generation to `done`.
[[noreturn]] void SaveForEver(std::uint32_t first, int done) {
    // Writes as slow as a memory card's, so that many kills land inside a write.
    platform::fs::SetWritePace(1000);
    GenerationSave save;
    save.loadState = kUserSaveReady;
    for (std::uint32_t generation = first;; ++generation) {
        save.Become(generation);
        if (save.Save() != 1) _exit(2);
        if (write(done, &generation, sizeof generation) != sizeof generation) _exit(3);
    }
}

// The last generation the child reported finished; `last` when it reported no more.
std::uint32_t LastReported(int done, std::uint32_t last) {
    std::uint32_t value = 0;
    while (read(done, &value, sizeof value) == sizeof value) last = value;
    return last;
}

TEST_F(UserSaveTest, ASaverKilledAtRandomMomentsAlwaysLeavesTheOldOrTheNewRecord) {
    GenerationSave first;
    Ready(first, 1);
    ASSERT_EQ(first.Save(), 1);
    std::uint32_t onDisk = 1;
    std::mt19937 random(24);
    std::uniform_int_distribution<int> pause(0, 12000);  // microseconds, about two saves
    int killedMidSave = 0;
    constexpr int kKills = 200;
    for (int kill = 0; kill < kKills; ++kill) {
        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(channel[0]);
            SaveForEver(onDisk + 1, channel[1]);
        }
        close(channel[1]);
        // Once the saver is in its loop, a random moment of it.
        std::uint32_t reported = 0;
        const bool inLoop = read(channel[0], &reported, sizeof reported) == static_cast<ssize_t>(sizeof reported);
        if (inLoop) usleep(static_cast<useconds_t>(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(inLoop && WIFSIGNALED(status)) << "the saver stopped by itself with " << WEXITSTATUS(status);
        const std::uint32_t previous = LastReported(channel[0], reported);
        close(channel[0]);

        if (std::filesystem::exists(File().string() + ".tmp")) ++killedMidSave;
        GenerationSave loaded;
        loaded.loadState = kUserSaveReady;
        ASSERT_EQ(loaded.Load(), 1) << "after kill " << kill;
        ASSERT_TRUE(loaded.Consistent()) << "a record mixed from two saves after kill " << kill;
        ASSERT_TRUE(loaded.generation == previous || loaded.generation == previous + 1)
            << "after kill " << kill << ": generation " << loaded.generation << ", last finished " << previous;
        onDisk = loaded.generation;
    }
    RecordProperty("killed_mid_save", killedMidSave);
}

}  // namespace
