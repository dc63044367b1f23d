// The install folder and the pack repository. The folder is cached for the life of the
// process once found, so each case runs in a child process of its own; the children
// report what they saw through the registry, which the parent reads.
#include <gtest/gtest.h>

#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/RegistryKey.h"
#include "dialer/pack/InstallDir.h"
#include "dialer/pack/PackRepository.h"
#include "tests/dialer/pack/PackTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr LPCWSTR kDialerKey = u"\\SOFTWARE\\Halvorn\\Dialer";
constexpr LPCWSTR kReportKey = u"\\SOFTWARE\\Test\\Report";

void SetInstallDir(LPCWSTR folder) {
    RegistryKey key(HKEY_LOCAL_MACHINE, kDialerKey, TRUE);
    ASSERT_TRUE(key.SetString(u"InstallDir", folder));
}

void Report(LPCWSTR name, const std::u16string& value) {
    RegistryKey key(HKEY_LOCAL_MACHINE, kReportKey, TRUE);
    key.SetString(name, value.c_str());
}

std::u16string Reported(LPCWSTR name) {
    RegistryKey key(HKEY_LOCAL_MACHINE, kReportKey, TRUE);
    return key.GetString(name, u"(none)");
}

TEST(InstallDirChild, AddsABackslashLowerCasesAndKeepsTheFolder) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process";
    SetInstallDir(u"\\Program Files\\Dialer");
    Report(u"Folder", GetInstallDir());
    Report(u"Path", MakeInstallPath(u"Default.dat"));
    SetInstallDir(u"\\Elsewhere\\");
    Report(u"Later", GetInstallDir());
}

TEST(InstallDir, AddsABackslashLowerCasesAndKeepsTheFolder) {
    handset_test::TempHandsetRoot root;
    ASSERT_EQ(handset_test::RunChild("InstallDirChild.AddsABackslashLowerCasesAndKeepsTheFolder"), 0);
    EXPECT_EQ(Reported(u"Folder"), u"\\program files\\dialer\\");
    EXPECT_EQ(Reported(u"Path"), u"\\program files\\dialer\\Default.dat") << "only the folder is lower-cased";
    EXPECT_EQ(Reported(u"Later"), u"\\program files\\dialer\\") << "the folder is read once";
}

TEST(InstallDirChild, AnAbsentValueIsAskedForAgain) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process";
    Report(u"Folder", GetInstallDir());
    Report(u"Path", MakeInstallPath(u"Default.dat"));
    SetInstallDir(u"\\Apps\\Calvane\\");
    Report(u"Later", GetInstallDir());
}

TEST(InstallDir, AnAbsentValueIsAskedForAgain) {
    handset_test::TempHandsetRoot root;
    ASSERT_EQ(handset_test::RunChild("InstallDirChild.AnAbsentValueIsAskedForAgain"), 0);
    EXPECT_EQ(Reported(u"Folder"), u"");
    EXPECT_EQ(Reported(u"Path"), u"Default.dat");
    EXPECT_EQ(Reported(u"Later"), u"\\apps\\calvane\\") << "no second backslash";
    RegistryKey dialer(HKEY_LOCAL_MACHINE, kDialerKey, FALSE);
    EXPECT_NE(dialer.GetHandle(), nullptr) << "the key is created when it is missing";
}

TEST(PackRepositoryChild, HandsOutPacksFromTheInstallFolder) {
    if (!handset_test::InChildRole()) GTEST_SKIP() << "runs as a child process";
    SetInstallDir(u"\\Program Files\\Calvane");
    CRefPtr<CPackRepository> repository(new CPackRepository());
    CPackRepositoryService* service = repository.Get();
    SetPackRepository(&service);

    CRefPtr<CResourcePack> pack = CRefPtr<CResourcePack>::Adopt(GetResourcePack(u"QA_Layouts"));
    CRefPtr<CResourcePack> same = CRefPtr<CResourcePack>::Adopt(GetResourcePack(u"qa_layouts"));
    Report(u"Same", pack && pack == same ? u"yes" : u"no");
    CSharedBuffer read;
    if (pack && pack->FindDocument(u"Main.xml", &read, false))
        Report(u"Main", std::u16string(read.Data(), read.Data() + read.bytes));

    CRefPtr<CResourcePack> missing = CRefPtr<CResourcePack>::Adopt(GetResourcePack(u"missing"));
    Report(u"Missing", missing ? u"handed out" : u"null");
    try {
        CPackAccess use(missing.Get(), false, true);
        Report(u"MissingOpen", u"opened");
    } catch (COrmException exception) {
        Report(u"MissingOpen", exception.code == E_ORM_FAIL ? u"thrown" : u"other code");
    }

    repository->Clear();
    CRefPtr<CResourcePack> fresh = CRefPtr<CResourcePack>::Adopt(GetResourcePack(u"qa_layouts"));
    Report(u"AfterClear", fresh && fresh != pack ? u"new" : u"kept");
    SetPackRepository(nullptr);
    Report(u"Unset", GetResourcePack(u"qa_layouts") == nullptr ? u"null" : u"pack");
}

TEST(PackRepository, HandsOutPacksFromTheInstallFolder) {
    handset_test::TempHandsetRoot root;
    pack_test::MakeHandsetFolders(u"\\Program Files\\Calvane");
    pack_test::WriteHandsetFile(u"\\Program Files\\Calvane\\qa_layouts.dat",
                                pack_test::BuildPack({{"Main.xml", pack_test::TextBytes("<Layouts/>")}}));
    ASSERT_EQ(handset_test::RunChild("PackRepositoryChild.HandsOutPacksFromTheInstallFolder"), 0);
    EXPECT_EQ(Reported(u"Same"), u"yes");
    EXPECT_EQ(Reported(u"Main"), u"<Layouts/>");
    EXPECT_EQ(Reported(u"Missing"), u"handed out");
    EXPECT_EQ(Reported(u"MissingOpen"), u"thrown");
    EXPECT_EQ(Reported(u"AfterClear"), u"new");
    EXPECT_EQ(Reported(u"Unset"), u"null");
}

}  // namespace
