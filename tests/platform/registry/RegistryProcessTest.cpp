// The registry shared between processes: a value written here read by a child, many children
// writing at once without losing a write, processes meeting a new registry all at once, and
// the change counter raised by a child's write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/registry/Registry.h"
#include "tests/platform/registry/RegistryTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace registry_test;

namespace {

constexpr int kWriters = 4;
constexpr int kWritesEach = 500;

std::u16string WriterValueName(int writer, int index) {
    const std::string name = "w" + std::to_string(writer) + "-" + std::to_string(index);
    return std::u16string(name.begin(), name.end());
}

// Child roles: each does its part in the registry of the parent's handset root.
TEST(RegistryChild, ReadsGreetingAndReplies) {
    if (!handset_test::InChildRole()) GTEST_SKIP();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Software\\Shared", 0, 0, &key), ERROR_SUCCESS);
    const ReadValue greeting = GetBytes(key, u"greeting");
    ASSERT_EQ(greeting.result, ERROR_SUCCESS);
    ASSERT_EQ(greeting.type, REG_SZ);
    ASSERT_EQ(greeting.bytes, TextBytes(u"hello from the parent", true));
    ASSERT_EQ(SetDword(key, u"Reply", 42), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(RegistryChild, WritesItsShare) {
    if (!handset_test::InChildRole()) GTEST_SKIP();
    const int writer = std::stoi(handset_test::ChildArgument("writer"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Concurrent", 0, 0, &key), ERROR_SUCCESS);
    for (int index = 0; index < kWritesEach; ++index)
        ASSERT_EQ(SetDword(key, WriterValueName(writer, index).c_str(), static_cast<DWORD>(index)), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(RegistryChild, WritesWatchedValue) {
    if (!handset_test::InChildRole()) GTEST_SKIP();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\PeripheralDet", 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, u"TVOutIsEnabled", 1), ERROR_SUCCESS);
    RegCloseKey(key);
}

class RegistryProcesses : public ::testing::Test {
protected:
    handset_test::TempHandsetRoot root_;
};

TEST_F(RegistryProcesses, ChildReadsWhatTheParentWrote) {
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, u"Software\\Shared");
    ASSERT_EQ(SetBytes(key, u"Greeting", REG_SZ, TextBytes(u"hello from the parent", true)), ERROR_SUCCESS);
    ASSERT_EQ(handset_test::RunChild("RegistryChild.ReadsGreetingAndReplies"), 0);
    EXPECT_EQ(GetDword(key, u"Reply"), 42u);
    RegCloseKey(key);
}

TEST_F(RegistryProcesses, ConcurrentWritersLoseNothing) {
    HKEY key = CreateKey(HKEY_CURRENT_USER, u"Concurrent");
    const ULONGLONG before = platform::registry::ChangeCounter(key, nullptr);
    std::vector<int> children;
    for (int writer = 0; writer < kWriters; ++writer)
        children.push_back(
            handset_test::StartChild("RegistryChild.WritesItsShare", {{"writer", std::to_string(writer)}}));
    for (int child : children) EXPECT_EQ(handset_test::WaitChild(child), 0);

    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, DWORD{kWriters * kWritesEach});
    for (int writer = 0; writer < kWriters; ++writer)
        for (int index = 0; index < kWritesEach; index += 99)
            EXPECT_EQ(GetDword(key, WriterValueName(writer, index).c_str()), static_cast<DWORD>(index));
    EXPECT_EQ(platform::registry::ChangeCounter(key, nullptr), before + kWriters * kWritesEach);
    RegCloseKey(key);
}

// Processes whose first registry call meets a registry.db that none has set up yet: one of
// them creates it, and every write lands. Forked children are cheap, so many rounds run,
// each on a fresh root with all children released at once.
TEST(RegistryFirstOpen, ProcessesStartingTogetherOnANewRootAllWrite) {
    constexpr int kProcesses = 8;
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        handset_test::TempHandsetRoot root;
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> children;
        for (int child = 0; child < kProcesses; ++child) {
            const pid_t pid = fork();
            if (pid == 0) {
                close(gate[1]);
                char ignored;
                // Every child waits here until the parent closes the gate.
                if (read(gate[0], &ignored, 1) != 0) _exit(3);
                HKEY key = nullptr;
                if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Starters", 0, nullptr, 0, 0, nullptr, &key, nullptr) !=
                    ERROR_SUCCESS)
                    _exit(1);
                _exit(SetDword(key, WriterValueName(child, 0).c_str(), static_cast<DWORD>(child)) == ERROR_SUCCESS
                          ? 0
                          : 2);
            }
            children.push_back(pid);
        }
        close(gate[0]);
        close(gate[1]);
        for (pid_t pid : children) EXPECT_EQ(handset_test::WaitChild(pid), 0);
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Starters", 0, 0, &key), ERROR_SUCCESS);
        for (int child = 0; child < kProcesses; ++child)
            EXPECT_EQ(GetDword(key, WriterValueName(child, 0).c_str()), static_cast<DWORD>(child));
        RegCloseKey(key);
        if (HasFailure()) break;
    }
}

TEST_F(RegistryProcesses, ChildWriteRaisesTheChangeCounter) {
    using platform::registry::ChangeCounter;
    const ULONGLONG driver = ChangeCounter(HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\PeripheralDet");
    const ULONGLONG drivers = ChangeCounter(HKEY_LOCAL_MACHINE, u"\\DRIVERS");
    ASSERT_EQ(handset_test::RunChild("RegistryChild.WritesWatchedValue"), 0);
    EXPECT_GT(ChangeCounter(HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\PeripheralDet"), driver);
    EXPECT_GT(ChangeCounter(HKEY_LOCAL_MACHINE, u"\\DRIVERS"), drivers);
    EXPECT_EQ(ChangeCounter(HKEY_CURRENT_USER, u"Drivers"), 0u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Drivers\\BuiltIn\\PeripheralDet", 0, 0, &key), ERROR_SUCCESS);
    EXPECT_EQ(GetDword(key, u"TVOutIsEnabled"), 1u);
    RegCloseKey(key);
}

}  // namespace
