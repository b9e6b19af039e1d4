#pragma once

#include <span>
#include <vector>

#include "analysis/wavefront.h"

// What the wavefront makes of a star: its image (the point spread function), the contrast
// it passes at each spatial frequency (the MTF), and the star test's defocused images.
namespace kiro {

constexpr int kPaddingFactor = 4; // the FFT side M over the pupil grid N by default
constexpr double kDefaultStarTestWaves = 4.0;

// An M x M image, the centre (zero offset) at (M / 2, M / 2), row y at y * M.
struct PointSpread {
    int side = 0;
    double pixelMm = 0.0; // lambda F# N / M
    std::vector<double> intensity;
    double peak() const;
};

// |FFT|^2 of A exp(2 pi i (OPD + extra rho^2)) with the pupil zero-padded to `side`,
// divided by the live points squared (the peak of the same pupil without aberration).
// Empty when side is smaller than the pupil grid.
PointSpread pointSpread(const PupilMap& map, int side, double fNumber, double extraDefocus = 0.0);

// A modulation transfer curve at frequencies k * step, k = 0..n (the cut-off 1/(lambda F#)
// at k = n).
struct MtfCurve {
    double stepPerMm = 0.0;         // cycles/mm between samples
    std::vector<double> tangential; // frequencies along the field direction
    std::vector<double> sagittal;
    // Linear between the samples, 0 beyond the last.
    double at(std::span<const double> curve, double cyclesPerMm) const;
};

// The modulus of the FFT of the PSF (the pupil padded to side), 1 at zero frequency, along
// the two axes.
MtfCurve mtfOf(const PupilMap& map, int side, double fNumber);

// The same pupil without aberration (OPD 0 on the live points).
PupilMap aberrationFree(const PupilMap& map);

// The mean of curves of several lines at one frequency.
struct MtfPoint {
    double tangential = 0.0;
    double sagittal = 0.0;
};
MtfPoint meanMtf(std::span<const MtfCurve* const> curves, double cyclesPerMm);

// The star test: the PSF with -k and +k waves of defocus (k rho^2).
struct StarTest {
    PointSpread inside;  // -k
    PointSpread outside; // +k
};
StarTest starTest(const PupilMap& map, int side, double fNumber, double waves);

} // namespace kiro
