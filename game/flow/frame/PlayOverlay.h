// PlayOverlay: the 2D layer over the play scene, by the controller's play state: the
// cut-scene caption, the briefing, the level or world title, the HUD's controls, counters,
// banners and pop-ups, and after a level the results page with its sounds.
#pragma once

#include <cstdint>

#include "game/flow/frame/ResultsPage.h"

class Canvas2D;
class HudDrawing;
class IngameController;

// The results page's progress and the medal line's pulse, kept between frames.
ResultsProgress& OverlayResultsProgress();
void ResetPlayOverlay();

// The controller's results as the page reads them.
ResultsFacts ResultsFactsOf(const IngameController& controller);

// The overlay of this frame on a 2D screen width x height.
void DrawPlayOverlay(IngameController& controller, HudDrawing& hud, Canvas2D* canvas, std::uint32_t width,
                     std::uint32_t height);
// The level's title t seconds after it began to show; a new world first shows its number.
void DrawLevelTitle(const IngameController& controller, HudDrawing& hud, Canvas2D* canvas, float x, float y, float t);
// Draws a built page: frames, cells, pictures, icons, the medal, then the texts; plays its sounds.
void DrawResultsPage(const ResultsPage& page, HudDrawing& hud, Canvas2D* canvas);
