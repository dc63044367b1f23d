// dialogshot <pack> <dialog> <png> [--dpi N] [--size WxH]: writes what a dialog of a layout pack
// paints.
#include <cstdio>
#include <string>

#include "platform/screen/PngFile.h"
#include "tools/dialogshot/DialogShot.h"

int main(int argc, char** argv) {
    ShotRequest request;
    std::string error;
    if (!ParseShotArguments(argc - 1, argv + 1, &request, &error)) {
        std::fprintf(stderr, "dialogshot: %s\nusage: dialogshot <pack> <dialog> <png> [--dpi N] [--size WxH]\n",
                     error.c_str());
        return 2;
    }
    platform::screen::Image image;
    if (!ShootDialog(request, &image, &error) || !platform::screen::WritePng(image, request.png, error)) {
        std::fprintf(stderr, "dialogshot: %s\n", error.c_str());
        return 1;
    }
    std::printf("dialogshot: wrote %s (%d x %d)\n", request.png.c_str(), image.width, image.height);
    return 0;
}
