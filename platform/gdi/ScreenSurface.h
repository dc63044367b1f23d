// The screen's pixels as window contexts draw them: RGB565 rows, top first, as large as the
// display as the user sees it. What is drawn reaches the display (and its screenshots)
// when a drawing call ends.
#pragma once

#include <mutex>

#include "platform/base/Types.h"
#include "platform/gdi/PixelBuffer.h"

namespace platform::gdi {

// Held while window contexts draw.
std::mutex& ScreenMutex();
// The pixels, made again (black) when the display's size has changed. Under ScreenMutex.
PixelBuffer ScreenPixels();
// Puts an area of the pixels on the display. Under ScreenMutex.
void ShowScreenArea(const RECT& area);

}  // namespace platform::gdi
