// Entries of the handset's file system that are not plain files or folders: FIFOs and
// sockets are refused at once by every open (never waited on), and symbolic links are
// followed only while they stay inside the file system.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/base/CodePage.h"
#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/HandsetRoot.h"
#include "platform/fs/FileOperations.h"
#include "platform/fs/FileStreams.h"
#include "platform/fs/Files.h"
#include "tests/platform/fs/FsTestSupport.h"

namespace {

using namespace std::chrono_literals;

// Every 3 s plays both ends of a FIFO for a moment (an open that waits for the other end
// goes on, a read that waits for data ends), so that a call that waits on the FIFO fails
// the test instead of hanging it.
class FifoWatchdog {
public:
    explicit FifoWatchdog(std::string path)
        : thread_([this, path = std::move(path)] {
              for (;;) {
                  const auto deadline = std::chrono::steady_clock::now() + 3s;
                  while (!stop_ && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
                  if (stop_) return;
                  const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
                  std::this_thread::sleep_for(100ms);
                  if (fd >= 0) close(fd);
              }
          }) {}
    ~FifoWatchdog() {
        stop_ = true;
        thread_.join();
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class EntryKindsTest : public fs_test::FsTest {
protected:
    // A Unix socket bound at a path of the file system, as a program would leave one.
    void MakeSocket(const std::string& relative) {
        socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(socket_, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = Linux(relative);
        ASSERT_LT(path.size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        ASSERT_EQ(bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    void TearDown() override {
        if (socket_ >= 0) close(socket_);
        fs_test::FsTest::TearDown();
    }

    int socket_ = -1;
};

TEST_F(EntryKindsTest, FifosAndSocketsAreRefusedAtOnce) {
    MakeLinuxFolder("Program Files/Quorvane");
    ASSERT_EQ(mkfifo(Linux("Program Files/Quorvane/Quorvane.ini").c_str(), 0644), 0);
    MakeSocket("socket");
    FifoWatchdog watchdog(Linux("Program Files/Quorvane/Quorvane.ini"));

    const auto createFile = [](LPCWSTR path, DWORD access, DWORD disposition) {
        HANDLE file = CreateFileW(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return file == INVALID_HANDLE_VALUE && error == ERROR_ACCESS_DENIED;
    };
    const auto stream = [](const char* path, const char* mode) {
        FILE* file = platform::OpenHandsetStream(path, mode);
        const int error = errno;
        const DWORD lastError = GetLastError();
        if (file != nullptr) std::fclose(file);
        return file == nullptr && error == EACCES && lastError == ERROR_ACCESS_DENIED;
    };
    const std::pair<const char*, std::function<bool()>> calls[] = {
        {"CreateFileW read",
         [&] { return createFile(u"\\program files\\quorvane\\quorvane.ini", GENERIC_READ, OPEN_EXISTING); }},
        {"CreateFileW write",
         [&] { return createFile(u"\\Program Files\\Quorvane\\Quorvane.ini", GENERIC_WRITE, OPEN_ALWAYS); }},
        {"CreateFileW truncate",
         [&] { return createFile(u"\\Program Files\\Quorvane\\Quorvane.ini", GENERIC_WRITE, TRUNCATE_EXISTING); }},
        {"stream read", [&] { return stream("\\Program Files\\Quorvane\\Quorvane.ini", "rb"); }},
        {"stream write", [&] { return stream("\\Program Files\\Quorvane\\Quorvane.ini", "wb"); }},
        {"stream append", [&] { return stream("\\Program Files\\Quorvane\\Quorvane.ini", "a"); }},
        {"CopyFileW",
         [] {
             return !CopyFileW(u"\\Program Files\\Quorvane\\Quorvane.ini", u"\\copy.ini", FALSE) &&
                    GetLastError() == ERROR_ACCESS_DENIED;
         }},
        {"CreateFileW on a socket", [&] { return createFile(u"\\socket", GENERIC_READ, OPEN_EXISTING); }},
        {"stream on a socket", [&] { return stream("\\socket", "r"); }},
    };
    for (const auto& [call, run] : calls) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(run()) << call;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << call << " waited on the FIFO";
    }
    struct stat info {};
    ASSERT_EQ(lstat(Linux("Program Files/Quorvane/Quorvane.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_FALSE(LinuxExists("copy.ini"));
}

TEST_F(EntryKindsTest, LinksAreFollowedOnlyInsideTheFileSystem) {
    WriteLinuxFile("Data/Real.txt", "inside");
    WriteLinuxFile("../secret.txt", "outside");  // beside fs/, in the root
    MakeLinuxFolder("../secrets");
    std::filesystem::create_symlink("Real.txt", Linux("Data/Near.txt"));
    std::filesystem::create_directory_symlink("Data", Linux("Program Files"));
    std::filesystem::create_symlink("../../secret.txt", Linux("Data/Escape.txt"));
    std::filesystem::create_symlink(Linux("../secret.txt"), Linux("Data/Absolute.txt"));
    std::filesystem::create_directory_symlink(Linux("../secrets"), Linux("Outside"));
    std::filesystem::create_symlink("Missing.txt", Linux("Data/Dangling.txt"));
    std::filesystem::create_symlink("Loop.txt", Linux("Data/Loop.txt"));

    const auto read = [](LPCWSTR path, std::string& text, DWORD& error) {
        HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        error = GetLastError();
        if (file == INVALID_HANDLE_VALUE) return false;
        char buffer[32] = {};
        DWORD got = 0;
        ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
        text.assign(buffer, got);
        return true;
    };
    std::string text;
    DWORD error = 0;
    // Links that stay inside work, with the look-up without case through them.
    ASSERT_TRUE(read(u"\\data\\NEAR.TXT", text, error)) << error;
    EXPECT_EQ(text, "inside");
    ASSERT_TRUE(read(u"\\PROGRAM FILES\\real.txt", text, error)) << error;
    EXPECT_EQ(text, "inside");

    const LPCWSTR refused[] = {u"\\Data\\Escape.txt", u"\\data\\absolute.TXT", u"\\Outside\\x.txt",
                               u"\\Data\\Dangling.txt", u"\\Data\\Loop.txt"};
    for (LPCWSTR path : refused) {
        const std::string name = platform::Utf16ToUtf8(path);
        EXPECT_EQ(platform::MapHandsetPath(path).error, platform::PathError::EscapesRoot) << name;
        EXPECT_FALSE(read(path, text, error)) << name;
        EXPECT_EQ(error, ERROR_PATH_NOT_FOUND) << name;
    }
    // Nothing is written through a link that leads out, nor created behind one.
    FILE* out = platform::OpenHandsetStream("\\Data\\Absolute.txt", "wb");
    EXPECT_EQ(out, nullptr);
    if (out != nullptr) std::fclose(out);
    HANDLE created = CreateFileW(u"\\Outside\\new.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(created, INVALID_HANDLE_VALUE);
    if (created != INVALID_HANDLE_VALUE) CloseHandle(created);
    EXPECT_EQ(ReadLinuxFile("../secret.txt"), "outside");
    EXPECT_FALSE(std::filesystem::exists(Linux("../secrets/new.txt")));
}

}  // namespace
