// Shared by the file system tests: a fresh handset root and direct access to the Linux
// side of it, to set up and check what the handset calls did.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/TestSupport.h"

namespace fs_test {

class FsTest : public ::testing::Test {
protected:
    void SetUp() override { root_ = std::make_unique<handset_test::TempHandsetRoot>(); }
    void TearDown() override { root_.reset(); }

    // The Linux path of a path below <root>/fs, written with "/".
    std::string Linux(const std::string& relative) const { return root_->Path() + "/fs/" + relative; }
    void WriteLinuxFile(const std::string& relative, const std::string& contents) const;
    std::string ReadLinuxFile(const std::string& relative) const;
    void MakeLinuxFolder(const std::string& relative) const;
    bool LinuxExists(const std::string& relative) const;

private:
    std::unique_ptr<handset_test::TempHandsetRoot> root_;
};

}  // namespace fs_test
