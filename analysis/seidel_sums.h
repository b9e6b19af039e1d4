#pragma once

#include <array>

#include "model/lens_system.h"

// Third-order (Seidel) aberrations surface by surface, from a paraxial marginal and chief
// ray. Formulas and sign convention: W. T. Welford, "Aberrations of Optical Systems"
// (Adam Hilger, 1986), chapters 8 and 9.
namespace kiro {

// One row's contributions (mm): spherical, coma, astigmatism, Petzval, distortion, and the
// axial and lateral colour between the F and C lines.
struct SeidelTerms {
    double si = 0.0;
    double sii = 0.0;
    double siii = 0.0;
    double siv = 0.0;
    double sv = 0.0;
    double cl = 0.0;
    double ct = 0.0;
};

// Wavefront aberration coefficients at the pupil edge and the largest field, in waves of
// the d line.
struct WavefrontCoefficients {
    double w040 = 0.0; // S_I / 8
    double w131 = 0.0; // S_II / 2
    double w222 = 0.0; // S_III / 2
    double w220 = 0.0; // (S_III + S_IV) / 4
    double w311 = 0.0; // S_V / 2
};

struct SeidelSums {
    bool valid = false; // false for an empty design or one without aperture or focal length
    int rows = 0;       // rows in use; perRow holds them
    std::array<SeidelTerms, kSurfaceRows> perRow{};
    SeidelTerms total{};
    WavefrontCoefficients waves{};
    double marginHeight = 0.0; // marginal ray height at the stop (mm)
    double fieldAngle = 0.0;   // chief ray angle in object space (radians)
};

// The stop is row 0's plane (where the spot diagram's chief rays cross the axis), the
// marginal ray the aperture radius, the chief ray the field angle of the largest image
// height the spot diagram offers.
SeidelSums seidelSums(const SurfaceTable& table, const Settings& settings);

// The same for a given pupil radius and field angle (radians).
SeidelSums seidelSumsFor(const SurfaceTable& table, double marginHeight, double fieldAngle);

// W from the sums at the d line's wavelength.
WavefrontCoefficients wavefrontCoefficients(const SeidelTerms& total);

} // namespace kiro
