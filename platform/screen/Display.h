// The handset's display: its native size and density, its orientation, and the pixels the
// presenters put on it (a 32-bit RGBA surface of the current orientation's size).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/base/Types.h"

// WM_SETTINGCHANGE's wParam after the display turned.
constexpr WPARAM SETTINGCHANGE_RESET = 0x3002;

namespace platform::screen {

// The display before any turn. A native size taller than wide is a portrait display, and
// the 90 and 270 degree orientations swap width and height.
struct DisplayGeometry {
    int nativeWidth = 480;
    int nativeHeight = 800;
    int dpi = 192;
};

// Accepted native sizes and densities; outside them Configure refuses.
constexpr int kMinDisplaySide = 16;
constexpr int kMaxDisplaySide = 4096;
constexpr int kMinDpi = 24;
constexpr int kMaxDpi = 1200;

// Sets the display's native size and density, turns it back to 0 degrees and clears it to
// black; the window system's screen size follows. False (nothing changed) outside the
// accepted ranges.
bool Configure(const DisplayGeometry& geometry);
DisplayGeometry Geometry();
int Dpi();

// 0, 90, 180 or 270 degrees.
int Orientation();
// Turns the display: the surface takes the new size (cleared to black) and the window
// system's screen size follows. False for any other angle. Windows are not told: that is
// the caller's part (ChangeDisplaySettingsEx).
bool SetOrientation(int degrees);
// The size of the display as the user sees it now.
SIZE Size();

// How a presenter's pixels lie in memory.
enum class PixelOrder { Rgba, Bgra };

struct FrameView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;  // bytes from one row to the next, at least width * 4
    PixelOrder order = PixelOrder::Rgba;
    bool bottomUp = false;  // the first row in memory is the bottom row (GL read-backs)
};

// A presenter puts a frame on the display with its top-left corner at (x, y); what falls
// outside the display is cut off. The display is opaque: alpha is set to 255. False, with
// nothing drawn, for a frame without pixels, with a side below 1 or a stride too short.
bool Present(const FrameView& frame, int x = 0, int y = 0);

// A presenter that keeps its frame elsewhere (a GL back buffer) registers a source instead
// of presenting every frame: the display calls it, on the thread that reads the display,
// just before its pixels are read (a screenshot, a refresh of the desktop window), and the
// source Presents. An empty function removes it.
void SetCaptureSource(std::function<void()> source);
bool HasCaptureSource();

// A copy of the display's pixels: rows top first, 4 bytes (R, G, B, A) a pixel.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* PixelAt(int x, int y) const {
        std::size_t index = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
        return rgba.data() + index * 4;
    }
};
// Asks the capture source for a fresh frame, then copies the surface.
Image Capture();
// Counts the changes of the surface (presents, turns, configuration), so that a viewer can
// tell whether it must redraw.
std::uint64_t SurfaceGeneration();

}  // namespace platform::screen
