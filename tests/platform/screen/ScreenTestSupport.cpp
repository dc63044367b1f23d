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

bool ReadPng(const std::string& path, platform::screen::Image& image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace screen_test
