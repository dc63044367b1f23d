// The 2D layer's start-up steps: the canvas with its shared geometry, then the overlay; and
// taking them down again. The application shell runs them through the steps installed by
// RegisterOverlayLayer, between the resource cache and the game object.
#pragma once

class Canvas2D;

// Installs StartOverlayLayer and StopOverlayLayer as the start-up's 2D layer steps.
void RegisterOverlayLayer();
// The canvas over the user-interface size, then OverlayManager::Init with it: 0, or 1.
int StartOverlayLayer();
// The overlay's shutdown, the shared quad geometry and glyph run released, the canvas freed.
void StopOverlayLayer();
// The canvas of the running layer; null before the start.
Canvas2D* OverlayCanvas();
