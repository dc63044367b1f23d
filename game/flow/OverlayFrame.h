// The 2D layer of a game frame: the widget overlay (the menu root and the shown pages),
// laid out on the landscape user-interface screen and turned onto the display.
#pragma once

#include "platform/base/Types.h"

class Canvas2D;
class OpenGLRenderDevice;

// The overlay's rotation and scale follow the display turned by `screenAngle` degrees; then
// the widget tree and the pointer image, blended over what the frame holds.
void DrawOverlayFrame(OpenGLRenderDevice& device, Canvas2D& canvas, DWORD screenAngle);
