// The four probe directions in the character's frame, as the level's queries take them: below
// is along the fall, above against it.
#pragma once

#include "engine/core/math/MathTypes.h"

inline constexpr Vector3 kLocalBelow{0.0f, -1.0f, 0.0f};
inline constexpr Vector3 kLocalAbove{0.0f, 1.0f, 0.0f};
inline constexpr Vector3 kLocalLeft{-1.0f, 0.0f, 0.0f};
inline constexpr Vector3 kLocalRight{1.0f, 0.0f, 0.0f};
inline constexpr Vector3 kLocalHere{0.0f, 0.0f, 0.0f};
