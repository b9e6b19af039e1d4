#include "analysis/layout_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "model/surface_kind.h"
#include "trace/ray_packet.h"
#include "trace/ray_tracer.h"

namespace kiro {

namespace {

constexpr double kFrameMargin = 10.0; // mm added on every side of the fitted frame
constexpr double kFitSlack = 1.1;     // the frame fills 1/1.1 of the client area
constexpr int kArcSteps = 32;         // angle steps on each side of a spherical vertex
constexpr double kProfileStep = 1.0;  // mm of height between points of a curved profile
// A profile longer than this many points (a mirror some 100 m across) is cut short so
// that a nonsensical radius cannot stall the paint.
constexpr int kMaxProfilePoints = 100001;
constexpr int kMaxRayCount = 20;

constexpr int kAxisPenWidth = 2;
constexpr int kProfilePenWidth = 2;
constexpr int kRayPenWidth = 1;
constexpr Colour kFlatColour{32, 32, 128};
constexpr Colour kSphericalColour{32, 128, 32};
constexpr Colour kAsphericColour{128, 32, 32};

double columnOf(const LayoutView& view, double z) {
    return view.originX - view.scale * z;
}
double rowOf(const LayoutView& view, double x) {
    return view.originY - view.scale * x;
}

void addDesignPoint(Polyline& line, const LayoutView& view, double z, double x) {
    line.add(columnOf(view, z), rowOf(view, x));
}

void drawDesignLine(Canvas& canvas, const LayoutView& view, double z0, double x0, double z1,
                    double x1) {
    drawLine(canvas, columnOf(view, z0), rowOf(view, x0), columnOf(view, z1), rowOf(view, x1));
}

// The kind of a row the side view draws; null for codes that have no profile.
const SurfaceKindInfo* drawnKind(int32_t type) {
    const SurfaceKindInfo* kind = surfaceKindInfo(type);
    return kind != nullptr && kind->drawn ? kind : nullptr;
}

Colour profileColour(SurfaceShape shape) {
    switch (shape) {
    case SurfaceShape::Flat:
        return kFlatColour;
    case SurfaceShape::Spherical:
        return kSphericalColour;
    case SurfaceShape::Paraboloid:
    case SurfaceShape::Aspheric:
        break;
    }
    return kAsphericColour;
}

void drawFlatRow(Canvas& canvas, const LayoutView& view, const Surface& row) {
    const double h = row.effectiveRadius;
    if (row.nz == 0.0) {
        drawDesignLine(canvas, view, row.z + h, row.x, row.z - h, row.x);
        return;
    }
    // The trace of the tilted plane in the x-z section, always spanning heights +-h.
    const double dz = h * row.nx / row.nz;
    drawDesignLine(canvas, view, row.z - dz, row.x + h, row.z + dz, row.x - h);
}

void drawSphericalRow(Canvas& canvas, const LayoutView& view, const Surface& row) {
    const double r = row.radius;
    const double halfAngle = std::fabs(std::atan(row.effectiveRadius / r));
    if (halfAngle == 0.0) {
        return;
    }
    // The offsets from the centre are rounded to whole pixels before the centre is added.
    // At most 2 kArcSteps + 1 points: a step that underflows (an arc of 1e-320 rad)
    // leaves the angle where it is, and the count still ends the arc.
    const double step = halfAngle / kArcSteps;
    Polyline line(canvas);
    double t = -halfAngle;
    for (int k = 0; k <= 2 * kArcSteps && t <= halfAngle; ++k, t += step) {
        line.add(std::trunc(r * std::cos(t) * view.scale) + view.originX - view.scale * (row.z + r),
                 std::trunc(r * std::sin(t) * view.scale) + view.originY - view.scale * row.x);
    }
}

// Paraboloid and even-asphere profiles, sampled every millimetre of height.
void drawSagRow(Canvas& canvas, const LayoutView& view, const Surface& row, SurfaceShape shape) {
    const double h = row.effectiveRadius;
    Polyline line(canvas);
    int points = 0;
    for (double s = -h; s <= h && points < kMaxProfilePoints; s += kProfileStep, ++points) {
        const double s2 = s * s;
        double sag = 0.0;
        if (shape == SurfaceShape::Paraboloid) {
            sag = s2 * 0.5 / row.radius;
        } else {
            sag = asphericA1(row) * s2 + row.a2 * s2 * s2 + row.a3 * s2 * s2 * s2 +
                  row.a4 * s2 * s2 * s2 * s2;
        }
        addDesignPoint(line, view, row.z + sag, row.x - s);
    }
}

void drawRow(Canvas& canvas, const LayoutView& view, const Surface& row,
             const SurfaceKindInfo& kind) {
    const double h = row.effectiveRadius;
    switch (kind.role) {
    case SurfaceRole::Stop:
        // Drawn about the axis whatever the row's x, out to the fitted frame.
        drawDesignLine(canvas, view, row.z, view.xMax, row.z, h);
        drawDesignLine(canvas, view, row.z, view.xMin, row.z, -h);
        return;
    case SurfaceRole::Obstruction:
        drawDesignLine(canvas, view, row.z, h, row.z, -h);
        return;
    case SurfaceRole::Focal:
    case SurfaceRole::Mirror:
    case SurfaceRole::Lens:
        break;
    }
    switch (kind.shape) {
    case SurfaceShape::Flat:
        drawFlatRow(canvas, view, row);
        break;
    case SurfaceShape::Spherical:
        drawSphericalRow(canvas, view, row);
        break;
    case SurfaceShape::Paraboloid:
    case SurfaceShape::Aspheric:
        drawSagRow(canvas, view, row, kind.shape);
        break;
    }
}

void fit(LayoutView& view, const SurfaceTable& table, int width, int height) {
    double zMax = 0.0, zMin = 0.0, xMax = 0.0, xMin = 0.0;
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        const Surface& row = table[i];
        // Written as comparisons so that a NaN coordinate leaves the frame alone.
        if (row.z > zMax) {
            zMax = row.z;
        }
        if (row.z < zMin) {
            zMin = row.z;
        }
        if (row.x > xMax) {
            xMax = row.x;
        }
        if (row.x < xMin) {
            xMin = row.x;
        }
        if (row.effectiveRadius > xMax) {
            xMax = row.effectiveRadius;
        }
        if (-row.effectiveRadius < xMin) {
            xMin = -row.effectiveRadius;
        }
    }
    view.zMax = zMax + kFrameMargin;
    view.zMin = zMin - kFrameMargin;
    view.xMax = xMax + kFrameMargin;
    view.xMin = xMin - kFrameMargin;
    view.scale = std::min(width / (view.zMax - view.zMin) / kFitSlack,
                          height / (view.xMax - view.xMin) / kFitSlack);
    view.originX = (width / 2) + (view.zMin + view.zMax) * view.scale * 0.5;
    view.originY = (height / 2) + (view.xMin + view.xMax) * view.scale * 0.5;
    view.fitScale = view.scale;
    view.fitOriginX = view.originX;
    view.fitOriginY = view.originY;
}

// The design point under pixel (a, b) moves to the middle of the client area.
void zoomTo(LayoutView& view, double newScale, int a, int b, int width, int height) {
    view.originX = (width / 2) + newScale * ((view.originX - a) / view.scale);
    view.originY = (height / 2) + newScale * ((view.originY - b) / view.scale);
    view.scale = newScale;
}

} // namespace

void updateLayoutView(LayoutView& view, const SurfaceTable& table, LayoutMode mode, int a, int b,
                      int clientWidth, int clientHeight) {
    if (mode == LayoutMode::Fit) {
        fit(view, table, a, b);
        return;
    }
    // A mode from outside the enumeration (a cast number) does nothing.
    if (mode != LayoutMode::ZoomIn && mode != LayoutMode::ZoomOut) {
        return;
    }
    if (!(view.scale > 0.0)) {
        return;
    }
    if (mode == LayoutMode::ZoomIn) {
        double s = 2.0 * view.scale;
        if (s > kMaxLayoutScale) {
            s = view.scale;
        }
        zoomTo(view, s, a, b, clientWidth, clientHeight);
        return;
    }
    const double s = 0.5 * view.scale;
    if (s < view.fitScale) {
        view.scale = view.fitScale;
        view.originX = view.fitOriginX;
        view.originY = view.fitOriginY;
        return;
    }
    zoomTo(view, s, a, b, clientWidth, clientHeight);
}

LayoutPoint layoutPointAt(const LayoutView& view, double column, double row) {
    return {(view.originX - column) / view.scale, (view.originY - row) / view.scale};
}

void zoomLayoutAbout(LayoutView& view, double factor, double column, double row) {
    if (!(view.scale > 0.0) || !(factor > 0.0)) {
        return;
    }
    const double s = std::min(view.scale * factor, std::max(kMaxLayoutScale, view.fitScale));
    if (s <= view.fitScale) {
        view.scale = view.fitScale;
        view.originX = view.fitOriginX;
        view.originY = view.fitOriginY;
        return;
    }
    const LayoutPoint under = layoutPointAt(view, column, row);
    view.originX = column + s * under.z;
    view.originY = row + s * under.x;
    view.scale = s;
}

void drawLayout(Canvas& canvas, const LayoutView& view, const SurfaceTable& table,
                const Settings& settings) {
    drawSurfaceProfiles(canvas, view, table);
    drawRayFan(canvas, view, table, settings);
}

void drawSurfaceProfiles(Canvas& canvas, const LayoutView& view, const SurfaceTable& table) {
    canvas.selectPen(kAxisPenWidth, kBlack);
    drawDesignLine(canvas, view, view.zMax, 0.0, view.zMin, 0.0);
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (const SurfaceKindInfo* kind = drawnKind(table[i].type)) {
            canvas.selectPen(kProfilePenWidth, profileColour(kind->shape));
            drawRow(canvas, view, table[i], *kind);
        }
    }
}

void drawRayFan(Canvas& canvas, const LayoutView& view, const SurfaceTable& table,
                const Settings& settings) {
    const int n = std::min(settings.rayCount, kMaxRayCount);
    if (n <= 0) {
        return;
    }
    canvas.selectPen(kRayPenWidth, kBlack);
    const double h0 = table[0].effectiveRadius;
    const double z0 = table[0].z;
    const double theta = settings.incidenceAngle / 100.0 / 180.0 * std::numbers::pi;
    RayPacket fan;
    for (int k = 1; k <= n; ++k) {
        // Spread evenly over -h0..+h0 without the ends; the middle ray of an odd fan is
        // the axial ray.
        const double f = 2.0 * k / (n + 1.0) - 1.0;
        Ray ray;
        ray.line = WavelengthLine::d;
        if (settings.sourceMode == SourceMode::Point) {
            ray.position = {settings.sourceX, settings.sourceY, settings.sourceZ};
            ray.direction = {f * h0 - settings.sourceX, 0.0, z0 - settings.sourceZ};
        } else {
            ray.position = {f * h0, 0.0, view.zMax};
            ray.direction = {std::sin(theta), 0.0, -std::cos(theta)};
        }
        // Start a little way back along the ray so that it enters from outside the frame.
        ray.position = sub(ray.position, scale(ray.direction, h0));
        fan.push(ray);
    }
    if (table[0].type < 0) {
        return;
    }
    // The whole fan traced as one packet, each ray's points kept, then drawn ray by ray.
    std::array<std::array<Vec3, kSurfaceRows + 1>, kMaxRayCount> points{};
    for (int k = 0; k < n; ++k) {
        points[static_cast<size_t>(k)][0] = fan.get(k).position;
    }
    size_t visited = 1;
    tracePacket(table, fan, RowFilter::All, asphereSearchLength(table),
                [&](int, const RayPacket& traced) {
                    for (int k = 0; k < traced.count; ++k) {
                        points[static_cast<size_t>(k)][visited] = {traced.px[k], traced.py[k],
                                                                   traced.pz[k]};
                    }
                    ++visited;
                });
    for (int k = 0; k < n; ++k) {
        Polyline line(canvas);
        for (size_t i = 0; i < visited; ++i) {
            const Vec3& p = points[static_cast<size_t>(k)][i];
            addDesignPoint(line, view, p.z, p.x);
        }
    }
}

void drawRayPath(Canvas& canvas, const LayoutView& view, const SurfaceTable& table, Ray ray) {
    if (table[0].type < 0) {
        return;
    }
    Polyline line(canvas);
    addDesignPoint(line, view, ray.position.z, ray.position.x);
    traceSystem(table, ray, RowFilter::All, [&](int, const Ray& traced) {
        addDesignPoint(line, view, traced.position.z, traced.position.x);
    });
}

} // namespace kiro
