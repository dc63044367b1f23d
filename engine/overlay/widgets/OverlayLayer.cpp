// Starting and stopping the 2D layer.
#include "engine/overlay/widgets/OverlayLayer.h"

#include "engine/app/Application.h"
#include "engine/app/OverlayLayerSteps.h"
#include "engine/overlay/canvas/Canvas2D.h"
#include "engine/overlay/canvas/QuadBuffers.h"
#include "engine/overlay/text/GlyphRun.h"
#include "engine/overlay/widgets/OverlayManager.h"

namespace {

Canvas2D* layerCanvas = nullptr;

}  // namespace

void RegisterOverlayLayer() { SetOverlayLayerSteps(OverlayLayerSteps{StartOverlayLayer, StopOverlayLayer}); }

int StartOverlayLayer() {
    StopOverlayLayer();
    layerCanvas = new Canvas2D;
    if (layerCanvas == nullptr) return 1;
    const SIZE screen = UiScreenSize();
    Overlay2D().screenWidth = static_cast<std::uint32_t>(screen.cx);
    Overlay2D().screenHeight = static_cast<std::uint32_t>(screen.cy);
    layerCanvas->Init();
    return Overlay().Init(layerCanvas);
}

void StopOverlayLayer() {
    if (layerCanvas == nullptr) return;
    Overlay().Shutdown();
    ReleaseQuadBuffers();
    FreeGlyphBuffer();
    delete layerCanvas;
    layerCanvas = nullptr;
}

Canvas2D* OverlayCanvas() { return layerCanvas; }
