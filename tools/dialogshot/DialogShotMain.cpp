// dialogshot <pack> <dialog> <png> [--dpi N] [--size WxH]: writes what a dialog of a layout pack
// paints. With --window in place of the picture's name, the dialog is shown in the dialer's
// host window on the handset screen (HANDSET_SCREEN, HANDSET_DISPLAY) and takes its input
// (the desktop window's, or HANDSET_SCRIPT's on the platform clock, HANDSET_CLOCK) until the
// window closes.
#include <cstdio>
#include <string>

#include "platform/base/Clock.h"
#include "platform/base/HandsetRoot.h"
#include "platform/screen/PngFile.h"
#include "platform/screen/Screen.h"
#include "platform/screen/StopSignals.h"
#include "tools/dialogshot/DialogShot.h"

int main(int argc, char** argv) {
    ShotRequest request;
    std::string error;
    if (!ParseShotArguments(argc - 1, argv + 1, &request, &error)) {
        std::fprintf(stderr,
                     "dialogshot: %s\nusage: dialogshot <pack> <dialog> <png> [--dpi N] [--size WxH]\n"
                     "       dialogshot <pack> <dialog> --window [--dpi N] [--size WxH]\n",
                     error.c_str());
        return 2;
    }
    if (request.window) {
        platform::HandsetRoot();
        platform::clock::ConfigureFromEnvironment();
        platform::screen::InstallStopSignals();
        if (!platform::screen::StartFromEnvironment(error)) {
            std::fprintf(stderr, "dialogshot: %s\n", error.c_str());
            return 1;
        }
        const bool shown = RunDialogWindow(request, &error);
        platform::screen::Stop();
        if (!shown) {
            std::fprintf(stderr, "dialogshot: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    platform::screen::Image image;
    if (!ShootDialog(request, &image, &error) || !platform::screen::WritePng(image, request.png, error)) {
        std::fprintf(stderr, "dialogshot: %s\n", error.c_str());
        return 1;
    }
    std::printf("dialogshot: wrote %s (%d x %d)\n", request.png.c_str(), image.width, image.height);
    return 0;
}
