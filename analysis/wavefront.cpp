#include "analysis/wavefront.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/spot_statistics.h"
#include "model/surface_kind.h"
#include "trace/ray_packet.h"
#include "trace/ray_tracer.h"

namespace kiro {

namespace {

constexpr double kAirIndex = 1.0;
constexpr int kFitTerms = 4; // piston, the two tilts, defocus

// The medium a ray crosses on its way to row i.
double indexBefore(const SurfaceTable& table, int i, int line) {
    return i == 0 ? kAirIndex : table[static_cast<size_t>(i - 1)].index[static_cast<size_t>(line)];
}

// One stretch of optical path: signed along the direction the row loop normalises, so
// that a row met behind the ray counts negative.
inline double stretch(Vec3 from, Vec3 to, Vec3 direction, double index) {
    return std::fabs(index) * dot(sub(to, from), unitDirection(direction));
}

// The path before the first row: from the plane through its vertex across the beam.
inline double startPath(Vec3 start, Vec3 direction, Vec3 firstVertex) {
    return dot(sub(start, firstVertex), direction);
}

// The last stretch, from the last bending row to the reference sphere, the crossing
// nearer that row; false when the ray misses the sphere.
inline bool sphereStretch(Vec3 from, Vec3 direction, const WavefrontReference& reference,
                          double& t) {
    const Vec3 e = unitDirection(direction);
    const Vec3 w = sub(from, reference.imagePoint);
    const double b = dot(w, e);
    const double c = dot(w, w) - reference.radius * reference.radius;
    const double disc = b * b - c;
    if (!(disc >= 0.0)) {
        return false;
    }
    // The roots are q and c / q; the one of smaller size is c / q.
    const double q = -(b + std::copysign(std::sqrt(disc), b));
    t = q == 0.0 ? 0.0 : c / q;
    return std::isfinite(t);
}

int lastBendingRow(const SurfaceTable& table) {
    int last = -1;
    for (int i = 0; i < kSurfaceRows && table[static_cast<size_t>(i)].type >= 0; ++i) {
        const int32_t type = table[static_cast<size_t>(i)].type;
        if (isMirror(type) || isLens(type)) {
            last = i;
        }
    }
    return last;
}

// The path of one ray traced alone through `table`, with where it ends.
bool tracedPath(const SurfaceTable& table, double searchLength, const Ray& start,
                const WavefrontReference& reference, double& path, Ray& end) {
    path = startPath(start.position, start.direction, reference.firstVertex);
    Ray before = start;
    Ray leaving{};
    end = traceSystem(table, start, RowFilter::All, searchLength, [&](int i, const Ray& after) {
        if (i <= reference.lastBendingRow) {
            path += stretch(before.position, after.position, before.direction,
                            indexBefore(table, i, start.line));
            if (i == reference.lastBendingRow) {
                leaving = after;
            }
        }
        before = after;
    });
    if (isDead(end) || isDead(leaving)) {
        return false;
    }
    double t = 0.0;
    if (!sphereStretch(leaving.position, leaving.direction, reference, t)) {
        return false;
    }
    const size_t last = static_cast<size_t>(reference.lastBendingRow);
    path += std::fabs(table[last].index[static_cast<size_t>(start.line)]) * t;
    return true;
}

// The lanes' paths as the rows go by, in arrays the size of a packet.
struct PacketPaths {
    double path[kPacketCapacity];
    Vec3 before[kPacketCapacity];
    Vec3 direction[kPacketCapacity];
    Vec3 leaving[kPacketCapacity];
    Vec3 leavingDirection[kPacketCapacity];
};

} // namespace

bool prepareWavefrontReference(const SurfaceTable& table, const SpotBeam& beam, int line,
                               WavefrontReference& reference) {
    reference = WavefrontReference{};
    reference.lastBendingRow = lastBendingRow(table);
    if (reference.lastBendingRow < 0 || line < WavelengthLine::First ||
        line > WavelengthLine::Last) {
        return false;
    }
    reference.firstVertex = {table[0].x, table[0].y, table[0].z};
    SurfaceTable open = table;
    for (Surface& row : open) {
        if (isObstruction(row.type)) {
            row.effectiveRadius = 0.0;
        }
    }
    // The chief ray's image point first, then its path to the sphere through its own
    // leaving point (a stretch of 0).
    const Ray chief = launchSpotRay(beam, 0.0, 0.0, line);
    Ray leaving{};
    const Ray end =
        traceSystem(open, chief, RowFilter::All, beam.searchLength, [&](int i, const Ray& after) {
            if (i == reference.lastBendingRow) {
                leaving = after;
            }
        });
    if (isDead(end) || isDead(leaving)) {
        return false;
    }
    reference.imagePoint = end.position;
    reference.radius = length(sub(leaving.position, end.position));
    Ray ignored{};
    return tracedPath(open, beam.searchLength, chief, reference, reference.chiefPath, ignored);
}

bool singleRayPath(const SurfaceTable& table, const SpotBeam& beam,
                   const WavefrontReference& reference, double px, double py, int line,
                   double& path) {
    Ray end{};
    return tracedPath(table, beam.searchLength, launchSpotRay(beam, px, py, line), reference, path,
                      end);
}

bool tracePupilMap(const SurfaceTable& table, const SpotBeam& beam, int line, int n,
                   PupilMap& map) {
    const size_t cells = static_cast<size_t>(n) * static_cast<size_t>(n);
    map.n = n;
    map.wavelengthMm = lineWavelengthMm(line);
    map.live.assign(cells, 0);
    map.opd.assign(cells, 0.0);
    WavefrontReference reference;
    if (n <= 0 || !(map.wavelengthMm > 0.0) ||
        !prepareWavefrontReference(table, beam, line, reference)) {
        return false;
    }
    const size_t last = static_cast<size_t>(reference.lastBendingRow);
    const double finalIndex = std::fabs(table[last].index[static_cast<size_t>(line)]);
    // A design lying in the x-z plane is its own mirror image in v: the rows of negative
    // v repeat those of positive v (the grid's coordinates are exact negatives).
    const int firstRow = beam.mirrored ? n / 2 : 0;
    RayPacket packet;
    PacketPaths paths;
    for (int j = firstRow; j < n; ++j) {
        const double v = map.coordinate(j) * beam.h0;
        for (int first = 0; first < n; first += kPacketCapacity) {
            const int count = std::min(kPacketCapacity, n - first);
            packet.count = 0;
            for (int k = 0; k < count; ++k) {
                const double u = map.coordinate(first + k) * beam.h0;
                const Ray ray = launchSpotRay(beam, u / beam.cosField, v, line);
                packet.push(ray);
                paths.path[k] = startPath(ray.position, ray.direction, reference.firstVertex);
                paths.before[k] = ray.position;
                paths.direction[k] = ray.direction;
            }
            tracePacket(table, packet, RowFilter::All, beam.searchLength,
                        [&](int i, const RayPacket& after) {
                            if (i > reference.lastBendingRow) {
                                return;
                            }
                            const double index = indexBefore(table, i, line);
                            for (int k = 0; k < count; ++k) {
                                const Vec3 p{after.px[k], after.py[k], after.pz[k]};
                                paths.path[k] +=
                                    stretch(paths.before[k], p, paths.direction[k], index);
                                paths.before[k] = p;
                                paths.direction[k] = {after.dx[k], after.dy[k], after.dz[k]};
                                if (i == reference.lastBendingRow) {
                                    paths.leaving[k] = p;
                                    paths.leavingDirection[k] = paths.direction[k];
                                }
                            }
                        });
            for (int k = 0; k < count; ++k) {
                double t = 0.0;
                if (packet.dead(k) || isZero(paths.leavingDirection[k]) ||
                    !sphereStretch(paths.leaving[k], paths.leavingDirection[k], reference, t)) {
                    continue;
                }
                const double path = paths.path[k] + finalIndex * t;
                const size_t at = static_cast<size_t>(j) * n + static_cast<size_t>(first + k);
                map.live[at] = 1;
                map.opd[at] = (path - reference.chiefPath) / map.wavelengthMm;
            }
        }
    }
    for (int j = 0; j < firstRow; ++j) {
        const size_t to = static_cast<size_t>(j) * n;
        const size_t from = static_cast<size_t>(n - 1 - j) * n;
        std::copy_n(map.live.begin() + from, n, map.live.begin() + to);
        std::copy_n(map.opd.begin() + from, n, map.opd.begin() + to);
    }
    return true;
}

namespace {

// Solves the small symmetric system a x = b by elimination with pivoting; false when it
// is singular.
bool solveFit(std::array<std::array<double, kFitTerms>, kFitTerms> a,
              std::array<double, kFitTerms> b, std::array<double, kFitTerms>& x) {
    for (int c = 0; c < kFitTerms; ++c) {
        int pivot = c;
        for (int r = c + 1; r < kFitTerms; ++r) {
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) {
                pivot = r;
            }
        }
        if (!(std::fabs(a[pivot][c]) > 0.0)) {
            return false;
        }
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (int r = c + 1; r < kFitTerms; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < kFitTerms; ++k) {
                a[r][k] -= f * a[c][k];
            }
            b[r] -= f * b[c];
        }
    }
    for (int c = kFitTerms - 1; c >= 0; --c) {
        double s = b[c];
        for (int k = c + 1; k < kFitTerms; ++k) {
            s -= a[c][k] * x[k];
        }
        x[c] = s / a[c][c];
    }
    return true;
}

std::array<double, kFitTerms> fitTerms(double x, double y) {
    return {1.0, x, y, x * x + y * y};
}

// The fitted piston, tilts and defocus of a map's live points (all 0 when they do not
// determine them: the fit then removes the mean alone).
std::array<double, kFitTerms> bestFit(const PupilMap& map) {
    std::array<std::array<double, kFitTerms>, kFitTerms> a{};
    std::array<double, kFitTerms> b{};
    double sum = 0.0;
    int count = 0;
    for (int j = 0; j < map.n; ++j) {
        for (int i = 0; i < map.n; ++i) {
            const size_t at = static_cast<size_t>(j) * map.n + i;
            if (map.live[at] == 0) {
                continue;
            }
            const auto f = fitTerms(map.coordinate(i), map.coordinate(j));
            for (int r = 0; r < kFitTerms; ++r) {
                for (int c = 0; c < kFitTerms; ++c) {
                    a[r][c] += f[r] * f[c];
                }
                b[r] += f[r] * map.opd[at];
            }
            sum += map.opd[at];
            ++count;
        }
    }
    std::array<double, kFitTerms> x{};
    if (!solveFit(a, b, x)) {
        x = {count > 0 ? sum / count : 0.0, 0.0, 0.0, 0.0};
    }
    return x;
}

// RMS about the mean and peak to valley of the live points.
void spread(const PupilMap& map, double& rms, double& pv) {
    double sum = 0.0;
    double low = INFINITY;
    double high = -INFINITY;
    int count = 0;
    for (size_t k = 0; k < map.opd.size(); ++k) {
        if (map.live[k] != 0) {
            sum += map.opd[k];
            low = std::min(low, map.opd[k]);
            high = std::max(high, map.opd[k]);
            ++count;
        }
    }
    const double mean = sum / count;
    double squares = 0.0;
    for (size_t k = 0; k < map.opd.size(); ++k) {
        if (map.live[k] != 0) {
            squares += (map.opd[k] - mean) * (map.opd[k] - mean);
        }
    }
    rms = std::sqrt(squares / count);
    pv = high - low;
}

} // namespace

PupilMap bestFocusMap(const PupilMap& map) {
    const auto x = bestFit(map);
    PupilMap residual = map;
    for (int j = 0; j < map.n; ++j) {
        for (int i = 0; i < map.n; ++i) {
            const size_t at = static_cast<size_t>(j) * map.n + i;
            if (map.live[at] != 0) {
                const auto f = fitTerms(map.coordinate(i), map.coordinate(j));
                residual.opd[at] -= x[0] * f[0] + x[1] * f[1] + x[2] * f[2] + x[3] * f[3];
            }
        }
    }
    return residual;
}

double strehlRatio(const PupilMap& map) {
    double re = 0.0;
    double im = 0.0;
    int count = 0;
    for (size_t k = 0; k < map.opd.size(); ++k) {
        if (map.live[k] != 0) {
            const double phase = 2.0 * std::numbers::pi * map.opd[k];
            re += std::cos(phase);
            im += std::sin(phase);
            ++count;
        }
    }
    return count == 0 ? 0.0 : (re * re + im * im) / (static_cast<double>(count) * count);
}

WavefrontNumbers wavefrontNumbers(const PupilMap& map) {
    WavefrontNumbers numbers;
    numbers.rays = static_cast<int>(std::count(map.live.begin(), map.live.end(), uint8_t{1}));
    if (numbers.rays == 0) {
        return numbers;
    }
    spread(map, numbers.rms, numbers.pv);
    numbers.strehl = strehlRatio(map);
    numbers.defocusWaves = bestFit(map)[3];
    const PupilMap best = bestFocusMap(map);
    spread(best, numbers.rmsBest, numbers.pvBest);
    numbers.strehlBest = strehlRatio(best);
    numbers.measured = std::isfinite(numbers.rms) && std::isfinite(numbers.rmsBest);
    return numbers;
}

double focusShiftMm(double defocusWaves, double wavelengthMm, double fNumber) {
    // A focus d beyond the sphere's centre adds d (1 - cos a), about d rho^2 / (8 F^2).
    constexpr double kDefocusPerShift = 8.0;
    return kDefocusPerShift * fNumber * fNumber * defocusWaves * wavelengthMm;
}

} // namespace kiro
