// The Linux side of the test handset root.
#include "tests/platform/fs/FsTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs_test {

void FsTest::WriteLinuxFile(const std::string& relative, const std::string& contents) const {
    std::filesystem::path path(Linux(relative));
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << contents;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string FsTest::ReadLinuxFile(const std::string& relative) const {
    std::ifstream in(Linux(relative), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void FsTest::MakeLinuxFolder(const std::string& relative) const {
    std::filesystem::create_directories(Linux(relative));
}

bool FsTest::LinuxExists(const std::string& relative) const {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(Linux(relative), error));
}

}  // namespace fs_test
