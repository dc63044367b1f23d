// The screen tests' script files and PNG reader.
#include "tests/platform/screen/ScreenTestSupport.h"

#include <png.h>

#include <cstring>
#include <fstream>

namespace screen_test {

std::string ScreenTest::WriteScript(const std::string& text, const std::string& name) {
    std::string path = root_.Path() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace screen_test
