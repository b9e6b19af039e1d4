#pragma once

#include "model/surface.h"

namespace kiro {

// How the spot grid is laid out: a number of points across the diameter, or a pitch in mm.
enum class SpotGridMode { FixedCount, FixedPitch };

// Where the light comes from: a star at infinity, or a point at a finite distance.
enum class SourceMode { Infinity, Point };

// How rays are launched and how the spot diagram is sampled. Not stored in design files.
struct Settings {
    int rayCount = 11;      // rays drawn in the side view, 0..20
    int incidenceAngle = 0; // side-view beam angle, hundredths of a degree
    SpotGridMode spotGridMode = SpotGridMode::FixedCount;
    int spotGridPoints = 50; // points across the aperture (also the light-amount grid), 1..100
    int spotGridPitch = 10;  // grid pitch in mm for FixedPitch
    SourceMode sourceMode = SourceMode::Infinity; // a point source sits at (sourceX, Y, Z)
    double sourceX = 0.0, sourceY = 0.0, sourceZ = 0.0;
};

// The design: the surface table, a one-line description (bytes, as stored in the file)
// and the settings.
struct LensSystem {
    SurfaceTable surfaces{};
    char description[kDescriptionBytes] = {};
    Settings settings{};
};

// Empties the table and the description and puts the source at infinity; the other
// settings keep their values.
void clearLensSystem(LensSystem& lens);
void setDefaultSettings(LensSystem& lens);

// Rows before the first negative type, at most 16.
int surfaceCount(const SurfaceTable& table);

// Radius of the beam the table admits: row 0's clear radius, lowered by stops, then
// limited by the first mirror or lens (a zero start counts as no limit).
double apertureRadius(const SurfaceTable& table);

// Copies text into a fixed byte field, cut to fit without splitting a CP932 double-byte
// character; always terminates.
void copyText(char* field, int fieldBytes, const char* text);

} // namespace kiro
