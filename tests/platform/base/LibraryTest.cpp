// LoadLibrary and GetProcAddress: stand-ins by name and ordinal, absent libraries, a real
// shared library from the handset's \Windows folder, data files and reference counts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/Errors.h"
#include "platform/base/Library.h"
#include "platform/base/WideString.h"
#include "tests/support/TestSupport.h"

namespace {

int StandInDial() { return 7; }
int StandInHangUp() { return 8; }
int StandInReplaced() { return 9; }

FARPROC AsProc(int (*function)()) { return reinterpret_cast<FARPROC>(function); }

int Call(FARPROC proc) { return reinterpret_cast<int (*)()>(proc)(); }

TEST(Library, StandInByNameAndOrdinal) {
    platform::RegisterStandInLibrary(u"TestPhone.dll", {{"Dial", 0, AsProc(StandInDial)},
                                                        {nullptr, 12, AsProc(StandInHangUp)},
                                                        {"Both", 13, AsProc(StandInReplaced)}});
    HMODULE module = LoadLibraryW(u"\\Windows\\TESTPHONE.DLL");  // folder and case do not matter
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(module, LoadLibraryW(u"testphone"));  // ".dll" is implied; one module, two references
    EXPECT_EQ(module, GetModuleHandleW(u"TestPhone.dll"));
    EXPECT_EQ(7, Call(GetProcAddress(module, "Dial")));
    EXPECT_EQ(7, Call(GetProcAddressW(module, u"Dial")));
    EXPECT_EQ(8, Call(GetProcAddress(module, MAKEINTRESOURCEA(12))));
    EXPECT_EQ(8, Call(GetProcAddressW(module, MAKEINTRESOURCEW(12))));
    EXPECT_EQ(9, Call(GetProcAddress(module, MAKEINTRESOURCEA(13))));
    EXPECT_EQ(9, Call(GetProcAddress(module, "Both")));
    SetLastError(0);
    EXPECT_EQ(nullptr, GetProcAddress(module, "dial"));  // names keep their case
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
    EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(99)));
    EXPECT_STREQ("", platform::ModuleFilePath(module));

    platform::RegisterStandInLibrary(u"testphone.dll", {{"Dial", 0, AsProc(StandInReplaced)}});
    EXPECT_EQ(9, Call(GetProcAddress(module, "Dial")));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(module, GetModuleHandleW(u"TestPhone.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(nullptr, GetModuleHandleW(u"TestPhone.dll"));
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    platform::UnregisterStandInLibrary(u"TestPhone.dll");
}

TEST(Library, AbsentLibraryGivesNull) {
    handset_test::TempHandsetRoot root;
    struct Case {
        const WCHAR* name;
        DWORD flags;
        DWORD error;
    } cases[] = {
        {u"THSLib.dll", 0, ERROR_MOD_NOT_FOUND},
        {u"\\Program Files\\Calvane\\CalvaneRes.dll", LOAD_LIBRARY_AS_DATAFILE, ERROR_MOD_NOT_FOUND},
        {u"\\Windows", 0, ERROR_MOD_NOT_FOUND},  // a folder is no library
        {u"", 0, ERROR_INVALID_PARAMETER},
        {u"x.dll", 0x100, ERROR_INVALID_PARAMETER},
    };
    std::filesystem::create_directories(root.Path() + "/fs/Windows");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        SetLastError(0);
        EXPECT_EQ(nullptr, LoadLibraryExW(c.name, nullptr, c.flags));
        EXPECT_EQ(c.error, GetLastError());
    }
    EXPECT_EQ(nullptr, LoadLibraryW(nullptr));
    EXPECT_EQ(nullptr, GetModuleHandleW(u"THSLib.dll"));
    EXPECT_NE(nullptr, GetModuleHandleW(nullptr));
    EXPECT_EQ(platform::ProgramModule(), GetModuleHandleW(nullptr));
}

class RealLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root_.Path() + "/fs/Windows");
        // Stored in lower case: the handset's look-up ignores case.
        std::filesystem::copy_file(SAMPLE_LIBRARY_PATH, root_.Path() + "/fs/Windows/samplelibrary.dll");
    }

    handset_test::TempHandsetRoot root_;
};

TEST_F(RealLibrary, IsLoadedFromTheWindowsFolderAndCalled) {
    HMODULE module = LoadLibraryW(u"SampleLibrary.dll");
    ASSERT_NE(nullptr, module) << GetLastError();
    auto add = reinterpret_cast<int (*)(int, int)>(GetProcAddressW(module, u"SampleAdd"));
    ASSERT_NE(nullptr, add);
    EXPECT_EQ(5, add(2, 3));
    auto attached = reinterpret_cast<void* (*)()>(GetProcAddress(module, "SampleAttachedModule"));
    ASSERT_NE(nullptr, attached);
    EXPECT_EQ(static_cast<void*>(module), attached());  // DllMain was told its module
    EXPECT_EQ(root_.Path() + "/fs/Windows/samplelibrary.dll", platform::ModuleFilePath(module));
    EXPECT_TRUE(DisableThreadLibraryCalls(module));

    SetLastError(0);
    EXPECT_EQ(nullptr, GetProcAddress(module, "malloc"));  // the C library's, not an export of this one
    EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
    EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(1)));

    int detached = 0;
    reinterpret_cast<void (*)(int*)>(GetProcAddress(module, "SampleReportDetachTo"))(&detached);
    EXPECT_EQ(module, LoadLibraryW(u"\\windows\\SAMPLELIBRARY.DLL"));
    EXPECT_EQ(module, GetModuleHandleW(u"samplelibrary.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(0, detached);
    EXPECT_EQ(module, GetModuleHandleW(u"SampleLibrary.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(1, detached);
    EXPECT_EQ(nullptr, GetModuleHandleW(u"SampleLibrary.dll"));
}

TEST_F(RealLibrary, RefusingToStartFailsTheLoad) {
    setenv("SAMPLE_LIBRARY_REFUSE", "1", 1);
    SetLastError(0);
    HMODULE module = LoadLibraryW(u"SampleLibrary.dll");
    unsetenv("SAMPLE_LIBRARY_REFUSE");
    EXPECT_EQ(nullptr, module);
    EXPECT_EQ(ERROR_DLL_INIT_FAILED, GetLastError());
    EXPECT_EQ(nullptr, GetModuleHandleW(u"SampleLibrary.dll"));
}

TEST_F(RealLibrary, NotALibraryIsABadFormat) {
    std::filesystem::copy_file(root_.Path() + "/fs/Windows/samplelibrary.dll", root_.Path() + "/fs/Windows/copy.dll");
    std::filesystem::resize_file(root_.Path() + "/fs/Windows/copy.dll", 100);
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryW(u"copy.dll"));
    EXPECT_EQ(ERROR_BAD_FORMAT, GetLastError());
}

TEST_F(RealLibrary, DataFileOpensNoCode) {
    std::filesystem::create_directories(root_.Path() + "/fs/Program Files/Calvane");
    std::string resources = root_.Path() + "/fs/Program Files/Calvane/CalvaneRes.dll";
    std::filesystem::copy_file(root_.Path() + "/fs/Windows/samplelibrary.dll", resources);
    HMODULE module = LoadLibraryExW(u"\\Program Files\\Calvane\\CalvaneRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(resources, platform::ModuleFilePath(module));
    EXPECT_EQ(nullptr, GetProcAddress(module, "SampleAdd"));  // no code was opened
    EXPECT_EQ(nullptr, GetModuleHandleW(u"CalvaneRes.dll"));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_STREQ("", platform::ModuleFilePath(module));
}

}  // namespace
