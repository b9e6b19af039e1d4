#include "presenters/settings_fields.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "model/int_conversion.h"

namespace kiro {
namespace {

double finiteOr(double value, double current) {
    return std::isfinite(value) ? value : current;
}

} // namespace

int clampRayCount(long long count) {
    return static_cast<int>(std::clamp<long long>(count, 0, kMaxRayCount));
}

int clampGridPoints(long long points) {
    return static_cast<int>(std::clamp<long long>(points, kMinGridPoints, kMaxGridPoints));
}

int clampGridPitch(long long pitch) {
    return static_cast<int>(std::clamp<long long>(pitch, kMinGridPitch, INT_MAX));
}

bool incidenceFromDegrees(double degrees, int& hundredths) {
    return toInt(degrees * 100.0, hundredths);
}

Settings acceptSettingsEntry(const Settings& current, const SettingsEntry& entry) {
    Settings s = current;
    s.spotGridMode = entry.gridMode;
    s.rayCount = clampRayCount(entry.rayCount);
    incidenceFromDegrees(entry.incidenceDegrees, s.incidenceAngle);
    s.spotGridPoints = clampGridPoints(entry.gridPoints);
    s.spotGridPitch = clampGridPitch(entry.gridPitch);
    s.sourceMode = entry.sourceMode;
    s.sourceX = finiteOr(entry.sourceX, current.sourceX);
    s.sourceY = finiteOr(entry.sourceY, current.sourceY);
    s.sourceZ = finiteOr(entry.sourceZ, current.sourceZ);
    return s;
}

} // namespace kiro
