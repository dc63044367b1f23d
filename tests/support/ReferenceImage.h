// Comparing a frame with a reference image kept beside the test: per-channel tolerance
// (8, 4, 8), the 5-6-5 screen's steps. A missing reference is written, and the comparison
// fails so that it is looked at and kept; a frame that differs is written beside the
// test's temporary files. Links platform_screen.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/screen/PngFile.h"

namespace handset_test {

// True when a channel of the pixel at (x, y) differs by more than the 5-6-5 tolerance.
inline bool PixelDiffers(const platform::screen::Image& a, const platform::screen::Image& b, int x, int y) {
    const int tolerance[3] = {8, 4, 8};
    for (int c = 0; c < 3; ++c)
        if (std::abs(a.PixelAt(x, y)[c] - b.PixelAt(x, y)[c]) > tolerance[c]) return true;
    return false;
}

// The pixels that differ by more than the tolerance; -1 for images of other sizes.
inline long CountDifferences(const platform::screen::Image& a, const platform::screen::Image& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    long count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (PixelDiffers(a, b, x, y)) ++count;
    return count;
}

inline ::testing::AssertionResult MatchesReference(const platform::screen::Image& image, const std::string& folder,
                                                   const std::string& name) {
    const std::string path = folder + "/" + name + ".png";
    platform::screen::Image reference;
    if (!platform::screen::ReadPng(path, reference)) {
        std::string error;
        std::filesystem::create_directories(folder);
        platform::screen::WritePng(image, path, error);
        return ::testing::AssertionFailure() << "no reference " << path << " yet: written, look at it and keep it";
    }
    if (reference.width != image.width || reference.height != image.height)
        return ::testing::AssertionFailure() << path << " is " << reference.width << "x" << reference.height
                                             << ", the frame " << image.width << "x" << image.height;
    const int tolerance[3] = {8, 4, 8};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int expected = reference.PixelAt(x, y)[c];
                const int actual = image.PixelAt(x, y)[c];
                if (std::abs(expected - actual) > tolerance[c]) {
                    std::string error;
                    const std::string actualPath = ::testing::TempDir() + name + ".actual.png";
                    platform::screen::WritePng(image, actualPath, error);
                    return ::testing::AssertionFailure()
                           << name << ": pixel (" << x << ", " << y << ") channel " << c << " is " << actual
                           << ", the reference " << expected << " (the frame is in " << actualPath << ")";
                }
            }
    return ::testing::AssertionSuccess();
}

}  // namespace handset_test
