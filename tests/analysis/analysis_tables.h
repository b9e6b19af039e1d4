#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "model/design_file.h"
#include "model/lens_system.h"
#include "model/surface.h"
#include "tests/support/example_designs.h"
#include "tests/support/surface_tables.h"

// Small designs and helpers the analysis tests share.
namespace kiro::test {

// A concave spherical mirror at z = 0 and a flat focal plane.
inline SurfaceTable sphericalMirror(double radius, double effectiveRadius, double focalZ,
                                    double fieldRadius = 10.0) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalMirror, 0.0, radius, effectiveRadius);
    table[1] = makeRow(SurfaceType::FlatFocal, focalZ, 0.0, fieldRadius);
    return table;
}

// A 200 mm f/5 Newtonian drawn unfolded: the entrance stop, the shadow of the diagonal,
// the paraboloid, the diagonal's clear size and the focal plane.
inline SurfaceTable newtonian() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 100.0);
    table[1] = makeRow(SurfaceType::Obstruction, -180.0, 0.0, 24.0);
    table[2] = makeRow(SurfaceType::ParaboloidMirror, -1000.0, 2000.0, 100.0);
    table[3] = makeRow(SurfaceType::Stop, -200.0, 0.0, 24.0);
    table[4] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 25.0);
    return table;
}

// A design of examples/designed, read with the program's start settings.
inline LensSystem designedExample(const std::string& name) {
    LensSystem lens = startDesign();
    readDesignFile(lens, (std::string(KIRO_SOURCE_DIR) + "/examples/designed/" + name).c_str());
    return lens;
}

// A thin lens of index n at z = 0 (the stop) with Welford's curvatures c1, c2 (the
// design's radii are their negative inverses), and a flat focal plane at focalZ.
inline SurfaceTable thinLens(double n, double c1, double c2, double clearRadius, double focalZ,
                             double fieldRadius) {
    constexpr double kThickness = 1e-6;
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalLens, 0.0, -1.0 / c1, clearRadius, n);
    table[1] = makeRow(SurfaceType::SphericalLens, -kThickness, -1.0 / c2, clearRadius);
    table[2] = makeRow(SurfaceType::FlatFocal, focalZ, 0.0, fieldRadius);
    return table;
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline std::vector<std::string> linesStartingWith(const std::string& text,
                                                  const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : linesOf(text)) {
        if (line.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

// The integers of a primitive line after its keyword.
inline std::vector<int> numbersOf(const std::string& line) {
    std::istringstream in(line.substr(line.find(' ') + 1));
    std::vector<int> numbers;
    for (int n; in >> n;) {
        numbers.push_back(n);
    }
    return numbers;
}

} // namespace kiro::test
