#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_common.h"
#include "model/surface.h"
#include "model/surface_kind.h"
#include "presenters/aperture_change.h"

namespace kiro::cli {
namespace {

// The name the lens data editor shows for a type code.
const char* typeName(int32_t code) {
    const SurfaceKindInfo* info = surfaceKindInfo(code);
    return info == nullptr ? "?" : info->japaneseName;
}

std::string number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string orDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

void printRow(int i, const Surface& s) {
    const std::string line =
        std::to_string(i) + " " + std::to_string(s.type) + " " + typeName(s.type) +
        " xyz=" + number(s.x) + "," + number(s.y) + "," + number(s.z) + " normal=" + number(s.nx) +
        "," + number(s.ny) + "," + number(s.nz) + (isAspheric(s.type) ? " a1=" : " R=") +
        number(s.radius) + " a2=" + number(s.a2) + " a3=" + number(s.a3) + " a4=" + number(s.a4) +
        " diameter=" + number(2.0 * s.effectiveRadius) + " material=" + orDash(toUtf8(s.material)) +
        " nd=" + number(s.index[WavelengthLine::d]);
    std::printf("%s\n", line.c_str());
}

void runShow(const std::string& path) {
    LensSystem lens;
    loadDesign(lens, path, SettingsOptions{});
    const int count = surfaceCount(lens.surfaces);
    for (int i = 0; i < count; ++i) {
        printRow(i, lens.surfaces[i]);
    }
    std::printf("description: %s\n", orDash(toUtf8(lens.description)).c_str());
}

void runConvert(const std::string& in, const std::string& out) {
    LensSystem lens;
    loadDesign(lens, in, SettingsOptions{});
    saveDesign(lens, out);
}

struct ResizeArgs {
    std::string in;
    std::string out;
    double from = 0.0; // 0: the design's own aperture
    double to = 0.0;
    bool apertureOnly = false;
};

void runResize(const ResizeArgs& args) {
    LensSystem lens;
    loadDesign(lens, args.in, SettingsOptions{});
    const double semiAperture = currentSemiAperture(lens.surfaces);
    if (!(semiAperture > 0.0)) {
        failComputation("the design has no aperture to change (no stop, curved mirror or lens "
                        "with a clear aperture)");
    }
    const double from = args.from != 0.0 ? args.from : 2.0 * semiAperture;
    const ApertureChangeMode mode =
        args.apertureOnly ? ApertureChangeMode::ApertureOnly : ApertureChangeMode::ScaleDesign;
    if (!changeAperture(lens.surfaces, mode, from / 2.0, args.to / 2.0)) {
        failUsage("--from and --to must be apertures above 0 that keep every length finite");
    }
    saveDesign(lens, args.out);
}

} // namespace

void addModelCommands(CLI::App& app) {
    auto showPath = std::make_shared<std::string>();
    CLI::App* show = app.add_subcommand(
        "show", "print the surface table for a person, a row a line, then the description");
    show->add_option("FILE", *showPath, "design file (.OPT) in any of the three layouts")
        ->required();
    show->callback([showPath] { runShow(*showPath); });

    auto inPath = std::make_shared<std::string>();
    auto outPath = std::make_shared<std::string>();
    CLI::App* convert =
        app.add_subcommand("convert", "read a design file in any layout, write the current one");
    convert->add_option("IN", *inPath, "design file to read")->required();
    convert->add_option("OUT", *outPath, "design file to write (CR LF, version 100)")->required();
    convert->callback([inPath, outPath] { runConvert(*inPath, *outPath); });

    auto resize = std::make_shared<ResizeArgs>();
    CLI::App* resizeCmd = app.add_subcommand(
        "resize", "change the aperture: scale the whole design, or only the clear apertures");
    resizeCmd->add_option("FILE", resize->in, "design file to read")->required();
    resizeCmd->add_option("--to", resize->to, "new aperture (mm)")->required();
    resizeCmd->add_option("--from", resize->from,
                          "old aperture (mm); the design's own when not given");
    resizeCmd->add_flag("--aperture-only", resize->apertureOnly,
                        "change only the clear apertures (and so the F-number)");
    resizeCmd->add_option("-o,--output", resize->out, "design file to write")->required();
    resizeCmd->callback([resize] { runResize(*resize); });
}

} // namespace kiro::cli
