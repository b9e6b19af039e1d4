#include "analysis/point_spread.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/fft_plans.h"

namespace kiro {

double PointSpread::peak() const {
    return intensity.empty() ? 0.0 : *std::max_element(intensity.begin(), intensity.end());
}

PointSpread pointSpread(const PupilMap& map, int side, double fNumber, double extraDefocus) {
    PointSpread psf;
    const int n = map.n;
    if (n <= 0 || side < n) {
        return psf;
    }
    const size_t m = static_cast<size_t>(side);
    FftBuffer field(m * m);
    int live = 0;
    for (int j = 0; j < n; ++j) {
        const double y = map.coordinate(j);
        for (int i = 0; i < n; ++i) {
            const size_t at = static_cast<size_t>(j) * n + i;
            if (map.live[at] != 0) {
                const double x = map.coordinate(i);
                const double phase =
                    2.0 * std::numbers::pi * (map.opd[at] + extraDefocus * (x * x + y * y));
                field[static_cast<size_t>(j) * m + i] = {std::cos(phase), std::sin(phase)};
                ++live;
            }
        }
    }
    forwardFft2d(field, side);
    psf.side = side;
    psf.pixelMm = map.wavelengthMm * fNumber * n / side;
    psf.intensity.assign(m * m, 0.0);
    const double norm = live == 0 ? 0.0 : 1.0 / (static_cast<double>(live) * live);
    const size_t half = m / 2;
    for (size_t y = 0; y < m; ++y) {
        const size_t row = ((y + half) % m) * m;
        for (size_t x = 0; x < m; ++x) {
            psf.intensity[row + (x + half) % m] = std::norm(field[y * m + x]) * norm;
        }
    }
    return psf;
}

namespace {

// |FFT| of a line spread over the first count + 1 frequencies, over its value at zero.
std::vector<double> lineTransfer(FftBuffer& line, int side, int count) {
    forwardFft1d(line, side);
    std::vector<double> curve(static_cast<size_t>(count) + 1, 0.0);
    const double zero = std::abs(line[0]);
    if (zero > 0.0) {
        for (size_t k = 0; k < curve.size(); ++k) {
            curve[k] = std::abs(line[k]) / zero;
        }
    }
    return curve;
}

// The pupil function A exp(2 pi i OPD), n x n.
std::vector<std::complex<double>> pupilField(const PupilMap& map) {
    std::vector<std::complex<double>> field(map.opd.size());
    for (size_t k = 0; k < field.size(); ++k) {
        if (map.live[k] != 0) {
            const double phase = 2.0 * std::numbers::pi * map.opd[k];
            field[k] = {std::cos(phase), std::sin(phase)};
        }
    }
    return field;
}

// The PSF summed across one axis: by Parseval along that axis, the sum over the pupil's
// lines (rows for `across` = 1, columns for n) of |FFT of the line padded to side|^2.
void lineSpread(const std::vector<std::complex<double>>& field, int n, int side, size_t across,
                FftBuffer& line, FftBuffer& spread) {
    const size_t along = across == 1 ? static_cast<size_t>(n) : 1;
    for (size_t k = 0; k < spread.size(); ++k) {
        spread[k] = {};
    }
    for (int l = 0; l < n; ++l) {
        for (size_t k = 0; k < line.size(); ++k) {
            line[k] = {};
        }
        for (int k = 0; k < n; ++k) {
            line[static_cast<size_t>(k)] =
                field[static_cast<size_t>(l) * along + static_cast<size_t>(k) * across];
        }
        forwardFft1d(line, side);
        for (size_t k = 0; k < line.size(); ++k) {
            spread[k] += std::norm(line[k]);
        }
    }
}

} // namespace

// The slice of the PSF's FFT along one axis is the FFT of the PSF summed across the other
// axis (its line spread), which the pupil's padded lines give without the 2-D transform.
MtfCurve mtfOf(const PupilMap& map, int side, double fNumber) {
    MtfCurve curve;
    const int n = map.n;
    if (n <= 0 || side < n || !(fNumber > 0.0) || !(map.wavelengthMm > 0.0)) {
        return curve;
    }
    const std::vector<std::complex<double>> field = pupilField(map);
    const size_t m = static_cast<size_t>(side);
    FftBuffer line(m);
    FftBuffer spread(m);
    curve.stepPerMm = 1.0 / (map.wavelengthMm * fNumber * n);
    // Along the field direction (u, the columns): the PSF summed over its rows.
    lineSpread(field, n, side, 1, line, spread);
    curve.tangential = lineTransfer(spread, side, n);
    lineSpread(field, n, side, static_cast<size_t>(n), line, spread);
    curve.sagittal = lineTransfer(spread, side, n);
    return curve;
}

double MtfCurve::at(std::span<const double> samples, double cyclesPerMm) const {
    if (samples.empty() || !(stepPerMm > 0.0) || !(cyclesPerMm >= 0.0)) {
        return 0.0;
    }
    const double position = cyclesPerMm / stepPerMm;
    const double last = static_cast<double>(samples.size() - 1);
    // Beyond the last sample (an infinite frequency included) the curve is 0.
    if (!(position <= last)) {
        return 0.0;
    }
    const size_t below = static_cast<size_t>(position);
    if (below + 1 == samples.size()) {
        return samples[below];
    }
    const double f = position - static_cast<double>(below);
    return samples[below] + (samples[below + 1] - samples[below]) * f;
}

PupilMap aberrationFree(const PupilMap& map) {
    PupilMap free = map;
    std::fill(free.opd.begin(), free.opd.end(), 0.0);
    return free;
}

MtfPoint meanMtf(std::span<const MtfCurve* const> curves, double cyclesPerMm) {
    MtfPoint mean;
    if (curves.empty()) {
        return mean;
    }
    for (const MtfCurve* curve : curves) {
        mean.tangential += curve->at(curve->tangential, cyclesPerMm);
        mean.sagittal += curve->at(curve->sagittal, cyclesPerMm);
    }
    mean.tangential /= static_cast<double>(curves.size());
    mean.sagittal /= static_cast<double>(curves.size());
    return mean;
}

StarTest starTest(const PupilMap& map, int side, double fNumber, double waves) {
    return {pointSpread(map, side, fNumber, -waves), pointSpread(map, side, fNumber, waves)};
}

} // namespace kiro
