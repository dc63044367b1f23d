// HudDrawing: what the frame asks the HUD to draw: the comic pages, the play controls,
// meters and counters, banners and pop-ups, and the frames, icons and medals of the play
// overlay. Every operation draws nothing here but the frame, which is a plain dark box, so
// that the briefing and the results stay readable until the HUD draws its own.
#pragma once

#include <cstdint>

class Canvas2D;

class HudDrawing {
public:
    virtual ~HudDrawing() = default;

    // The comic page of the current panel; t is the panel's reveal time in seconds.
    virtual void DrawIntroPage(float /*t*/) {}
    virtual void DrawOutroPage(float /*t*/) {}
    virtual void DrawPauseButton() {}
    // Draws the batched sprites.
    virtual void Flush() {}
    virtual void DrawBanners() {}
    virtual void DrawPopups() {}
    virtual void DrawSphereRow() {}
    virtual void DrawRotateMeter() {}
    virtual void DrawTouchControls() {}
    virtual void DrawCornerButtons() {}
    // A frame `width` x `height` centred at (x, y).
    virtual void DrawFrameQuad(float x, float y, float width, float height, float alpha);
    // Icon `icon` of the HUD centred at (x, y).
    virtual void DrawIcon(std::int32_t /*icon*/, float /*x*/, float /*y*/, float /*scale*/, float /*alpha*/) {}
    // The atlas cell (u0, v0)-(u1, v1) over the rectangle with its top left at (x, y).
    virtual void DrawAtlasCell(float /*u0*/, float /*v0*/, float /*u1*/, float /*v1*/, float /*x*/, float /*y*/,
                               float /*width*/, float /*height*/, float /*alpha*/) {}
    // A named picture over the rectangle with its top left at (x, y).
    virtual void DrawPicture(const char* /*name*/, float /*x*/, float /*y*/, float /*width*/, float /*height*/) {}
    // The medal's icon centred at (x, y).
    virtual void DrawMedalIcon(std::int32_t /*medal*/, float /*x*/, float /*y*/, float /*scale*/) {}
};
