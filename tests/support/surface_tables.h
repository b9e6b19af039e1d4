#pragma once

#include "model/surface.h"

// Building blocks for the small surface tables the tests write by hand.
namespace kiro::test {

// A row centred on the axis; index fills all eight slots of the medium after it.
inline Surface makeRow(int type, double z, double radius, double effectiveRadius,
                       double index = 1.0) {
    Surface row;
    row.type = type;
    row.z = z;
    row.radius = radius;
    row.effectiveRadius = effectiveRadius;
    row.index.fill(index);
    return row;
}

} // namespace kiro::test
