#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_common.h"
#include "trace/bundles.h"
#include "trace/ray_tracer.h"

namespace kiro::cli {
namespace {

std::string rayText(const Ray& ray) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    return formatNumber(p.x) + " " + formatNumber(p.y) + " " + formatNumber(p.z) + " " +
           formatNumber(d.x) + " " + formatNumber(d.y) + " " + formatNumber(d.z);
}

double finiteOption(double value, const char* name) {
    if (!std::isfinite(value)) {
        failUsage(std::string(name) + " must be a finite number");
    }
    return value;
}

double zoneHeight(double h) {
    if (!(finiteOption(h, "--height") > 0.0)) {
        failUsage("--height must be above 0");
    }
    return h;
}

struct TraceArgs {
    std::string path;
    SettingsOptions settings;
    std::string line;
    std::string from;
    std::string dir;
    std::string rows = "all";
};

RowFilter parseRows(const std::string& text) {
    if (text == "all") {
        return RowFilter::All;
    }
    if (text == "nofocal") {
        return RowFilter::NoFocal;
    }
    if (text == "optical") {
        return RowFilter::OpticalOnly;
    }
    failUsage("--rows takes all, nofocal or optical, not '" + text + "'");
}

void runTrace(const TraceArgs& args) {
    const int line = parseLine(args.line);
    const std::vector<double> from = parseNumbers(args.from, 3, "--from");
    const std::vector<double> dir = parseNumbers(args.dir, 3, "--dir");
    const RowFilter filter = parseRows(args.rows);
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    const Ray start{line, {from[0], from[1], from[2]}, {dir[0], dir[1], dir[2]}};
    const Ray last = traceSystem(lens.surfaces, start, filter, [](int row, const Ray& ray) {
        std::printf("%d %s\n", row, rayText(ray).c_str());
    });
    std::printf("final %s\n", rayText(last).c_str());
    if (isDead(last)) {
        failComputation("the ray died (missed a surface or was stopped)");
    }
}

struct FocusArgs {
    std::string path;
    SettingsOptions settings;
    std::string line;
    double height = 0.0;
    int mode = 1;
};

void runFocus(const FocusArgs& args) {
    const int line = parseLine(args.line);
    const double h = zoneHeight(args.height);
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    const ZonalFocus focus =
        zonalFocus(lens.surfaces, lens.settings, line, h, static_cast<ZonalMode>(args.mode));
    if (focus.f == 0.0) {
        failComputation(surfaceCount(lens.surfaces) == 0
                            ? "no zonal focus: the design is empty"
                            : "no zonal focus: a ray died (missed a surface or was stopped)");
    }
    if (!std::isfinite(focus.f) || !isFinite(focus.point)) {
        failComputation("no zonal focus: the focal length or the focus is not a finite number");
    }
    std::printf("%s %s %s %s\n", formatNumber(focus.f).c_str(), formatNumber(focus.point.x).c_str(),
                formatNumber(focus.point.y).c_str(), formatNumber(focus.point.z).c_str());
}

struct SineArgs {
    std::string path;
    SettingsOptions settings;
    std::string line;
    double fRef = 0.0;
    double height = 0.0;
};

void runSine(const SineArgs& args) {
    const int line = parseLine(args.line);
    const double h = zoneHeight(args.height);
    const double fRef = finiteOption(args.fRef, "--fref");
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    const double deviation = sineFocusDeviation(lens.surfaces, fRef, line, h);
    if (deviation < kSineDeviationNoValue) {
        failComputation("no sine-condition deviation: a ray died (missed a surface or was "
                        "stopped)");
    }
    if (!std::isfinite(deviation)) {
        failComputation("no sine-condition deviation: the focal length is not a finite number");
    }
    std::printf("%s\n", formatNumber(deviation).c_str());
}

struct LightArgs {
    std::string path;
    SettingsOptions settings;
    std::string line;
    double fieldRad = 0.0;
    double radius = 0.0;
};

void runLight(const LightArgs& args) {
    const int line = parseLine(args.line);
    const double field = finiteOption(args.fieldRad, "--field-rad");
    if (!(finiteOption(args.radius, "--radius") > 0.0)) {
        failUsage("--radius must be above 0");
    }
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    std::printf(
        "%s\n",
        formatNumber(lightAmount(lens.surfaces, lens.settings, field, args.radius, line)).c_str());
}

} // namespace

void addTraceCommands(CLI::App& app) {
    auto trace = std::make_shared<TraceArgs>();
    CLI::App* traceCommand = app.add_subcommand(
        "trace", "trace one ray row by row: ROW px py pz dx dy dz, then final px py pz dx dy dz");
    traceCommand->add_option("FILE", trace->path, "design file (.OPT)")->required();
    traceCommand->add_option("--line", trace->line, "line: C d e F g h or 1 to 6")->required();
    traceCommand->add_option("--from", trace->from, "start point X,Y,Z (mm)")->required();
    traceCommand->add_option("--dir", trace->dir, "direction DX,DY,DZ")->required();
    traceCommand->add_option("--rows", trace->rows, "rows taken: all, nofocal or optical");
    addSettingsOptions(traceCommand, trace->settings);
    traceCommand->callback([trace] { runTrace(*trace); });

    auto focus = std::make_shared<FocusArgs>();
    CLI::App* focusCommand =
        app.add_subcommand("focus", "zonal focus: f x y z of the zone at height H");
    focusCommand->add_option("FILE", focus->path, "design file (.OPT)")->required();
    focusCommand->add_option("--line", focus->line, "line: C d e F g h or 1 to 6")->required();
    focusCommand->add_option("--height", focus->height, "zone height H (mm)")->required();
    focusCommand
        ->add_option("--mode", focus->mode,
                     "0 lets stops and obstructions act, 1 traces mirrors and lenses only")
        ->check(CLI::Range(0, 1));
    addSettingsOptions(focusCommand, focus->settings);
    focusCommand->callback([focus] { runFocus(*focus); });

    auto sine = std::make_shared<SineArgs>();
    CLI::App* sineCommand = app.add_subcommand(
        "sine", "sine-condition deviation: focal length of the zone against a d-line ray, less F");
    sineCommand->add_option("FILE", sine->path, "design file (.OPT)")->required();
    sineCommand->add_option("--fref", sine->fRef, "reference focal length F (mm)")->required();
    sineCommand->add_option("--line", sine->line, "line: C d e F g h or 1 to 6")->required();
    sineCommand->add_option("--height", sine->height, "zone height H (mm)")->required();
    addSettingsOptions(sineCommand, sine->settings);
    sineCommand->callback([sine] { runSine(*sine); });

    auto light = std::make_shared<LightArgs>();
    CLI::App* lightCommand =
        app.add_subcommand("light", "light amount (0 to 1) of a pupil grid at a field angle");
    lightCommand->add_option("FILE", light->path, "design file (.OPT)")->required();
    lightCommand->add_option("--field-rad", light->fieldRad, "field angle A (radians)")->required();
    lightCommand->add_option("--radius", light->radius, "pupil radius M (mm), above 0")->required();
    lightCommand->add_option("--line", light->line, "line: C d e F g h or 1 to 6")->required();
    addSettingsOptions(lightCommand, light->settings);
    lightCommand->callback([light] { runLight(*light); });
}

} // namespace kiro::cli
