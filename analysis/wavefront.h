#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/spot_rays.h"
#include "model/lens_system.h"

// The wavefront of one panel and line: the optical path of each ray of a square pupil grid
// to a sphere around the chief ray's image point, and what follows from it (RMS, P-V, the
// best-focus fit and the Strehl ratio).
namespace kiro {

constexpr int kDefaultPupilGrid = 64;
constexpr int kMinPupilGrid = 8;
constexpr int kMaxPupilGrid = 512;

// What every ray of one panel and line is measured against.
struct WavefrontReference {
    Vec3 imagePoint{};      // the chief ray on the image surface: the sphere's centre
    double radius = 0.0;    // from the last bending row to the image point
    double chiefPath = 0.0; // mm, optical
    int lastBendingRow = -1;
    Vec3 firstVertex{}; // the plane the paths start from runs through it, across the beam
};

// The chief ray of a panel's beam at a line, traced as if the obstruction were absent;
// false when it does not reach the image surface or no row bends light.
bool prepareWavefrontReference(const SurfaceTable& table, const SpotBeam& beam, int line,
                               WavefrontReference& reference);

// The sampled pupil: n x n points at the centres of equal square cells across the grid's
// diameter; row j (the pupil's v) holds the columns i (u, in the plane of the field angle)
// at index j * n + i.
struct PupilMap {
    int n = 0;
    double wavelengthMm = 0.0;
    std::vector<uint8_t> live; // 1 where the ray comes through every row
    std::vector<double> opd;   // waves; 0 where not live
    // The centre coordinate of cell k across the grid, in units of the grid's half width.
    double coordinate(int k) const { return (k + 0.5 - 0.5 * n) * 2.0 / n; }
};

// Traces the pupil grid of one panel and line in packets. False (the map cleared to no
// live point) when the panel has no chief ray.
bool tracePupilMap(const SurfaceTable& table, const SpotBeam& beam, int line, int n, PupilMap& map);

// The optical path (mm) of one ray of the grid traced alone, as the packets trace it;
// false when it does not come through.
bool singleRayPath(const SurfaceTable& table, const SpotBeam& beam,
                   const WavefrontReference& reference, double px, double py, int line,
                   double& path);

struct WavefrontNumbers {
    int rays = 0;     // live pupil points
    double rms = 0.0; // waves, piston removed
    double pv = 0.0;  // waves
    double strehl = 0.0;
    double rmsBest = 0.0; // after the fit of piston, tilts and defocus
    double pvBest = 0.0;
    double strehlBest = 0.0;
    double defocusWaves = 0.0; // the fitted coefficient of rho squared
    bool measured = false;     // false without a live point
};

WavefrontNumbers wavefrontNumbers(const PupilMap& map);

// The best-focus residual of a map (the same map with the fitted piston, tilts and defocus
// taken away from the live points).
PupilMap bestFocusMap(const PupilMap& map);

// How far along the final beam the best focus lies beyond the image surface (mm), for a
// fitted defocus in waves of a line (wavelength in mm) and the F-number.
double focusShiftMm(double defocusWaves, double wavelengthMm, double fNumber);

// The Strehl ratio of a map: |sum of exp(2 pi i OPD)|^2 / (live points)^2.
double strehlRatio(const PupilMap& map);

} // namespace kiro
