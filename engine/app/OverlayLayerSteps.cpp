// Where the start-up finds the 2D layer's steps.
#include "engine/app/OverlayLayerSteps.h"

namespace {

OverlayLayerSteps installed;

}  // namespace

void SetOverlayLayerSteps(const OverlayLayerSteps& steps) { installed = steps; }

const OverlayLayerSteps& InstalledOverlayLayer() { return installed; }
