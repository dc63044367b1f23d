// GetModuleFileNameW: the program's handset path, its default, modules loaded from files,
// and the rules for small buffers.
#include <string>

#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/fs/ModulePath.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

class ModulePathTest : public fs_test::FsTest {
protected:
    void TearDown() override {
        platform::SetProgramHandsetPath(nullptr);
        FsTest::TearDown();
    }
    std::u16string NameOf(HMODULE module) {
        WCHAR buffer[MAX_PATH];
        DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
        return length ? std::u16string(buffer, length) : std::u16string();
    }
};

TEST_F(ModulePathTest, AnswersTheProgramPath) {
    EXPECT_EQ(NameOf(nullptr), u"\\Windows\\test_platform_fs.exe");  // nothing set: the binary's name
    platform::SetProgramHandsetPath(u"/Program Files/Quorvane/./Quorvane.exe");
    EXPECT_EQ(NameOf(nullptr), u"\\Program Files\\Quorvane\\Quorvane.exe");

    // The program's instance and module handle answer the same.
    EXPECT_EQ(NameOf(platform::ProgramModule()), u"\\Program Files\\Quorvane\\Quorvane.exe");
    EXPECT_EQ(NameOf(GetModuleHandleW(nullptr)), u"\\Program Files\\Quorvane\\Quorvane.exe");
    // A value that is no module.
    static char marker;
    EXPECT_EQ(NameOf(reinterpret_cast<HMODULE>(&marker)), u"");
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(ModulePathTest, CutsTheAnswerToTheBuffer) {
    platform::SetProgramHandsetPath(u"\\Program Files\\Q\\Q.exe");  // 22 characters
    WCHAR buffer[8];
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 8), 8u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"\\Progra");
    WCHAR exact[22];
    EXPECT_EQ(GetModuleFileNameW(nullptr, exact, 22), 22u);  // no room for the terminator
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(exact[21], 0);
    WCHAR room[23];
    EXPECT_EQ(GetModuleFileNameW(nullptr, room, 23), 22u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(room), u"\\Program Files\\Q\\Q.exe");
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetModuleFileNameW(nullptr, nullptr, 5), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(ModulePathTest, AnswersTheHandsetPathOfAModuleLoadedFromAFile) {
    WriteLinuxFile("Program Files/Calvane/CalvaneRes.dll", "resources");
    HMODULE module = LoadLibraryExW(u"\\program files\\calvane\\calvaneres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(NameOf(module), u"\\Program Files\\Calvane\\CalvaneRes.dll");  // as the handset stores it
    EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
