#pragma once

#include "model/lens_system.h"

namespace kiro {

// The limits the settings keep.
constexpr int kMaxRayCount = 20;
constexpr int kMinGridPoints = 1;
constexpr int kMaxGridPoints = 100;
constexpr int kMinGridPitch = 1;

int clampRayCount(long long count);
int clampGridPoints(long long points);
int clampGridPitch(long long pitch); // at least 1, and within an int

// The side view's beam angle entered in degrees, held in hundredths truncated towards
// zero. False (hundredths left alone) when no int holds it: NaN, infinite or huge.
bool incidenceFromDegrees(double degrees, int& hundredths);

// What the settings dialog holds when OK is pressed: its two mode copies and its fields
// read as numbers (the integer fields as unsigned numbers, 0 for text that is not one).
struct SettingsEntry {
    SpotGridMode gridMode = SpotGridMode::FixedCount;
    SourceMode sourceMode = SourceMode::Infinity;
    unsigned rayCount = 0;
    double incidenceDegrees = 0.0;
    unsigned gridPoints = 0;
    unsigned gridPitch = 0;
    double sourceX = 0.0, sourceY = 0.0, sourceZ = 0.0;
};

// The settings the dialog's OK stores: the counts clamped to their limits, the angle in
// hundredths. A value no setting can hold (an angle beyond the int range, a coordinate
// that is not finite) keeps the current one.
Settings acceptSettingsEntry(const Settings& current, const SettingsEntry& entry);

} // namespace kiro
