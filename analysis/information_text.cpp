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

// Ten blanks before the heading, four before the F-number, whatever the words.
constexpr const char* kFormat = "          %s\n\n"
                                "%s:( %s, %s, %s)\n\n"
                                "%s:%s\n\n"
                                "%s:%s    %s:%s";
constexpr const char* kNumberFormat = "%lf";

} // namespace

double nearAxisFocalLength(const SurfaceTable& table, const Settings& settings, double r) {
    return zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor,
                      ZonalMode::OpticalOnly)
        .f;
}

const InformationWords kInformationWords{"情報表示", "焦点位置(d線)", "焦点距離(d線)",
                                         "有効径",   "F値",           "データがありません"};

std::string buildInformationText(const SurfaceTable& table, const Settings& settings, double r,
                                 const InformationWords& words) {
    if (table[0].type < 0) {
        return words.noData;
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

    // A focal length of parallel final rays or an F-number without a diameter does not
    // exist and shows as "-"; a focus a hair below zero shows as 0.
    const auto shown = [](double value) { return formatShownC(kNumberFormat, value); };
    const std::string x = shown(focus.x);
    const std::string y = shown(focus.y);
    const std::string z = shown(focus.z);
    const std::string focal = shown(f);
    const std::string diameterText = shown(diameter);
    const std::string fNumber = shown(f / diameter);
    // Measured first: %lf of a huge double takes over 300 characters, and the words are
    // the caller's.
    const auto print = [&](char* out, size_t size) {
        return snprintfC(out, size, kFormat, words.heading, words.focusPosition, x.c_str(),
                         y.c_str(), z.c_str(), words.focalLength, focal.c_str(), words.diameter,
                         diameterText.c_str(), words.fNumber, fNumber.c_str());
    };
    const int length = print(nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length), '\0');
    print(text.data(), text.size() + 1);
    return text;
}

double informationFNumber(const SurfaceTable& table, const Settings& settings, double r) {
    return nearAxisFocalLength(table, settings, r) / (r + r);
}

} // namespace kiro
