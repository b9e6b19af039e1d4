#pragma once

#include <cstdint>

#include "trace/vec3.h"

namespace kiro {

// One real ray: the line slot whose indices it uses, where it is and where it goes.
// A direction of exactly (0, 0, 0) marks a dead ray (missed, stopped or vignetted).
struct Ray {
    int32_t line = 2;
    Vec3 position{};
    Vec3 direction{};
};

constexpr bool isDead(const Ray& ray) {
    return isZero(ray.direction);
}

} // namespace kiro
