// PNG files through libpng's simplified writer and reader.
#include "platform/screen/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform::screen {

bool WritePng(const Image& image, const std::string& path, std::string& error) {
    std::size_t needed = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
    if (image.width < 1 || image.height < 1 || image.rgba.size() != needed) {
        error = "Cannot write " + path + ": the image has no pixels or a wrong size.";
        return false;
    }
    if (path.empty()) {
        error = "Cannot write a screenshot without a file name.";
        return false;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    std::string temporary = path + ".tmp";
    if (!png_image_write_to_file(&png, temporary.c_str(), 0, image.rgba.data(), 0, nullptr)) {
        error = "Cannot write " + path + ": " + png.message + ".";
        png_image_free(&png);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "Cannot write " + path + ": " + std::strerror(errno) + ".";
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ReadPng(const std::string& path, Image& image) {
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

}  // namespace platform::screen
