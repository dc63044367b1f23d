// X11 calls kept in a file of their own: the X headers' macros (None, Bool, Status...)
// clash with other headers.
#include "tests/integration/XWindowCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace integration_test {

namespace {

// The shift that brings a colour mask's top 8 bits down to the low byte.
int ShiftOf(unsigned long mask) {
    int highest = 63;
    while (highest > 0 && (mask & (1ul << highest)) == 0) --highest;
    return highest - 7;
}

std::uint8_t Channel(unsigned long pixel, unsigned long mask, int shift) {
    const unsigned long bits = pixel & mask;
    return static_cast<std::uint8_t>(shift >= 0 ? bits >> shift : bits << -shift);
}

}  // namespace

bool CaptureLargestWindow(const std::string& display, platform::screen::Image& pixels, std::string& error) {
    Display* connection = XOpenDisplay(display.c_str());
    if (connection == nullptr) {
        error = "The X display " + display + " cannot be opened.";
        return false;
    }
    Window root = DefaultRootWindow(connection);
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window largest = 0;
    long largestArea = 0;
    if (XQueryTree(connection, root, &root, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(connection, children[i], &attributes) == 0 ||
                attributes.map_state != IsViewable)
                continue;
            const long area = static_cast<long>(attributes.width) * attributes.height;
            if (area > largestArea) {
                largest = children[i];
                largestArea = area;
            }
        }
        XFree(children);
    }
    XWindowAttributes attributes;
    XImage* image = nullptr;
    if (largest != 0 && XGetWindowAttributes(connection, largest, &attributes) != 0)
        image = XGetImage(connection, largest, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        error = "No window of the X display " + display + " could be read.";
        XCloseDisplay(connection);
        return false;
    }
    pixels.width = image->width;
    pixels.height = image->height;
    pixels.rgba.resize(static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4);
    const int shifts[3] = {ShiftOf(image->red_mask), ShiftOf(image->green_mask), ShiftOf(image->blue_mask)};
    const unsigned long masks[3] = {image->red_mask, image->green_mask, image->blue_mask};
    std::uint8_t* out = pixels.rgba.data();
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            for (int c = 0; c < 3; ++c) *out++ = Channel(pixel, masks[c], shifts[c]);
            *out++ = 255;
        }
    }
    XDestroyImage(image);
    XCloseDisplay(connection);
    return true;
}

}  // namespace integration_test
