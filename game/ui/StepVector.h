// Moving a point toward a target by a bounded step, for smooth camera and widget motion.
#pragma once

#include "engine/core/math/MathTypes.h"

// The vector from `from` to `to`, shortened to `maximum` when longer. A maximum of 0 or
// below gives the zero vector.
Vector3 StepVectorToward(const Vector3& from, const Vector3& to, float maximum);
