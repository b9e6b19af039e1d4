#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/field_curves.h"
#include "analysis/ray_fans.h"
#include "analysis/seidel_sums.h"
#include "cli/cli_common.h"
#include "model/fraunhofer_lines.h"
#include "presenters/fan_dialog_state.h"
#include "presenters/seidel_table.h"

// The designer's classic plots as records: ray fans, field curves and the Seidel sums.
namespace kiro::cli {

namespace {

struct AberrationArgs {
    std::string path;
    SettingsOptions settings;
    std::string heights;
    LineOptions lines;
};

char letterOf(int slot) {
    return fraunhoferLineAt(slot)->letter;
}

void loadNonEmpty(LensSystem& lens, const AberrationArgs& args, const char* what) {
    loadDesign(lens, args.path, args.settings);
    if (lens.surfaces[0].type < 0) {
        failComputation(std::string("the design is empty: there are no ") + what);
    }
}

void runFans(const AberrationArgs& args) {
    LensSystem lens;
    loadNonEmpty(lens, args, "ray fans");
    FanDialogState state = openFanDialog(lens.surfaces);
    applyPanelHeights(args.heights, state.heights);
    const RayFans fans =
        computeRayFans(lens.surfaces, lens.settings, state.heights, shownLinesMask(args.lines));
    bool any = false;
    for (const FanPanel& panel : fans.panels) {
        if (!panel.ready) {
            continue;
        }
        any = true;
        const std::string height = formatNumber(panel.height);
        for (const RayFan& fan : panel.fans) {
            const char* kind = fan.kind == FanKind::Tangential ? "tangential" : "sagittal";
            for (int k = 0; k < kFanPoints; ++k) {
                std::printf("%s %c %s %s %s\n", height.c_str(), letterOf(fan.line), kind,
                            recordNumber(fanPupilCoordinate(k)).c_str(),
                            recordNumber(fan.offset[static_cast<size_t>(k)]).c_str());
            }
        }
    }
    if (!any) {
        failComputation("no panel has a chief ray: the focal length is 0 or every chief ray "
                        "is lost");
    }
}

void runField(const AberrationArgs& args) {
    LensSystem lens;
    loadNonEmpty(lens, args, "field curves");
    const int mask = shownLinesMask(args.lines);
    const FieldCurves curves = computeFieldCurves(lens.surfaces, lens.settings, mask);
    if (!curves.valid) {
        failComputation("the focal length is 0: the image heights have no field angle");
    }
    for (const FieldPoint& point : curves.points) {
        const std::string height = formatNumber(point.height);
        for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
            if (!maskHasLine(mask, slot)) {
                continue;
            }
            const size_t s = static_cast<size_t>(slot - WavelengthLine::First);
            std::printf("%s %c %s %s %s\n", height.c_str(), letterOf(slot),
                        recordNumber(point.tangential[s]).c_str(),
                        recordNumber(point.sagittal[s]).c_str(),
                        recordNumber(point.distortion).c_str());
        }
    }
}

void runSeidel(const AberrationArgs& args) {
    LensSystem lens;
    loadNonEmpty(lens, args, "Seidel sums");
    const SeidelSums sums = seidelSums(lens.surfaces, lens.settings);
    if (!sums.valid) {
        failComputation("the focal length or the aperture is 0: there are no Seidel sums");
    }
    const std::string text = seidelTableText(sums, kSeidelRecords);
    std::fwrite(text.data(), 1, text.size(), stdout);
}

CLI::App* addCommand(CLI::App& app, const char* name, const char* what,
                     std::shared_ptr<AberrationArgs> args) {
    CLI::App* cmd = app.add_subcommand(name, what);
    cmd->add_option("FILE", args->path, "design file")->required();
    addSettingsOptions(cmd, args->settings);
    return cmd;
}

} // namespace

void addAberrationCommands(CLI::App& app) {
    auto fans = std::make_shared<AberrationArgs>();
    CLI::App* fansCmd = addCommand(app, "fans",
                                   "print the ray fans: height line fan pupil offset (micrometres, "
                                   "- for a stopped ray)",
                                   fans);
    fansCmd->add_option("--heights", fans->heights, "image heights A,B,C of the panels (mm)");
    addLineOptions(fansCmd, fans->lines, "");
    fansCmd->callback([fans] { runFans(*fans); });

    auto field = std::make_shared<AberrationArgs>();
    CLI::App* fieldCmd =
        addCommand(app, "field",
                   "print the field curves: height line tangential sagittal (mm from the image "
                   "surface) distortion (percent)",
                   field);
    addLineOptions(fieldCmd, field->lines, "");
    fieldCmd->callback([field] { runField(*field); });

    auto seidel = std::make_shared<AberrationArgs>();
    CLI::App* seidelCmd = addCommand(
        app, "seidel",
        "print the Seidel sums: row SI SII SIII SIV SV CL CT, the sum, then W040 W131 W222 "
        "W220 W311 in waves of the d line",
        seidel);
    seidelCmd->callback([seidel] { runSeidel(*seidel); });
}

} // namespace kiro::cli
