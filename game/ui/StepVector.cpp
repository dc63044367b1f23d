// Bounded steps toward a target.
#include "game/ui/StepVector.h"

#include <cmath>

Vector3 StepVectorToward(const Vector3& from, const Vector3& to, float maximum) {
    Vector3 out{to.x - from.x, to.y - from.y, to.z - from.z};
    if (!(maximum > 0.0f)) return Vector3{0.0f, 0.0f, 0.0f};
    const float length = std::sqrt(out.x * out.x + out.y * out.y + out.z * out.z);
    if (length <= maximum) return out;
    const float scale = maximum / length;
    return Vector3{out.x * scale, out.y * scale, out.z * scale};
}
