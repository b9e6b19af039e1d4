#include "analysis/information_text.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "model/c_numbers.h"
#include "trace/bundles.h"

namespace kiro {

namespace {

constexpr std::array<double, 3> kFocusZones{0.15, 0.5, 0.85}; // fractions of r
constexpr double kParaxialZoneDivisor = 1000.0;               // zone r/1000 gives the focal length
constexpr size_t kTextBytes = 4096;

constexpr const char* kFormat = "          情報表示\n\n"
                                "焦点位置(d線):( %lf, %lf, %lf)\n\n"
                                "焦点距離(d線):%lf\n\n"
                                "有効径:%lf    F値:%lf";

// The focal length of the zone r/1000, on the d line, through mirrors and lenses only.
double nearAxisFocalLength(const SurfaceTable& table, const Settings& settings, double r) {
    return zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor, ZonalMode::OpticalOnly).f;
}

} // namespace

std::string buildInformationText(const SurfaceTable& table, const Settings& settings, double r) {
    if (table[0].type < 0) {
        return "データがありません";
    }
    const double diameter = r + r;
    Vec3 sum{};
    int count = 0;
    for (const double zone : kFocusZones) {
        const ZonalFocus focus =
            zonalFocus(table, settings, WavelengthLine::d, zone * r, ZonalMode::OpticalOnly);
        // A zone whose final rays are parallel has no crossing point to average.
        if (focus.f != 0.0 && std::isfinite(focus.f) && isFinite(focus.point)) {
            sum = add(sum, focus.point);
            ++count;
        }
    }
    const Vec3 focus = count != 0 ? divide(sum, count) : Vec3{};
    const double f = nearAxisFocalLength(table, settings, r);

    // %lf of the largest double takes 316 characters, so six of them and the words fit.
    std::array<char, kTextBytes> text{};
    snprintfC(text.data(), text.size(), kFormat, focus.x, focus.y, focus.z, f, diameter,
              f / diameter);
    return text.data();
}

double informationFNumber(const SurfaceTable& table, const Settings& settings, double r) {
    return nearAxisFocalLength(table, settings, r) / (r + r);
}

} // namespace kiro
