// dialogshot's work: its command line, and a dialog loaded from a layout pack and painted by
// the dialer's dialog manager into an image.
#pragma once

#include <string>

#include "platform/screen/Display.h"

struct ShotRequest {
    std::string pack;    // a pack file (".dat") or a pack folder
    std::string dialog;  // the layout set to show
    std::string png;     // where the picture goes
    int dpi = 192;
    int width = 480;  // the dialog area: the dialer's own is 480 × 696 on the 192-dpi handset
    int height = 696;
    // Show the dialog in the dialer's host window and take input (the desktop window's or
    // HANDSET_SCRIPT's) until the window closes; no picture is written.
    bool window = false;
};

// Reads "<pack> <dialog> <png> [--dpi N] [--size WxH]" or "<pack> <dialog> --window [--dpi N]
// [--size WxH]" (arguments after the program's name). False with a sentence naming the
// argument that is wrong.
bool ParseShotArguments(int count, const char* const* arguments, ShotRequest* request, std::string* error);

// Loads the dialog with the framework's services over the pack and paints it at the request's
// size and density. False with a sentence naming what failed.
bool ShootDialog(const ShotRequest& request, platform::screen::Image* image, std::string* error);

// Shows the dialog in a host window at (0, 0) of the request's size on the started screen and
// runs its message loop until the window is closed. False with a sentence naming what failed.
bool RunDialogWindow(const ShotRequest& request, std::string* error);
