// Where the on-screen buttons stand until the HUD lays them out: the movement cross in the
// bottom left corner, the turn buttons in the bottom right.
#include "game/flow/interfaces/PlayHud.h"

namespace {

struct Centre {
    float x, y;
};

constexpr Centre kDefaultCentres[kPlayButtonCount] = {
    {0.15f, 0.55f},  // forward
    {0.03f, 0.58f},  // forward-left
    {0.27f, 0.58f},  // forward-right
    {0.76f, 0.72f},  // turn A
    {0.92f, 0.72f},  // turn B
    {0.05f, 0.80f},  // step left
    {0.25f, 0.80f},  // step right
};

}  // namespace

void SilentHud::ButtonCentre(PlayButton button, float& x, float& y) const {
    const Centre centre = (button >= 0 && button < kPlayButtonCount) ? kDefaultCentres[button] : Centre{-1.0f, -1.0f};
    x = centre.x;
    y = centre.y;
}
