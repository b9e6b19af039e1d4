#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/spot_statistics.h"
#include "analysis/wavefront_panels.h"
#include "cli/cli_common.h"
#include "model/fraunhofer_lines.h"
#include "presenters/spot_dialog_state.h"

namespace kiro::cli {

namespace {

constexpr int kDefaultMtfSteps = 10; // tenths of the d line's cut-off

struct WavefrontArgs {
    std::string path;
    SettingsOptions settings;
    std::string heights;
    std::string lines;
    int grid = kDefaultPupilGrid;
    std::string frequencies;
};

// The request of the options: the spot dialog's heights unless given, every line unless
// given, the grid N and M = 4 N.
WavefrontRequest requestOf(const LensSystem& lens, const WavefrontArgs& args, bool withMtf) {
    WavefrontRequest request;
    request.heights = openSpotDialog(lens.surfaces).spotHeight;
    applyPanelHeights(args.heights, request.heights);
    if (!args.lines.empty()) {
        applyLines(request.lineShown, parseLineList(args.lines));
    }
    if (args.grid < kMinPupilGrid || args.grid > kMaxPupilGrid) {
        failUsage("--grid takes " + std::to_string(kMinPupilGrid) + " to " +
                  std::to_string(kMaxPupilGrid) + " points across");
    }
    request.grid = args.grid;
    request.side = kPaddingFactor * args.grid;
    request.withMtf = withMtf;
    return request;
}

WavefrontSet measured(const WavefrontArgs& args, bool withMtf, WavefrontRequest& request) {
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    if (lens.surfaces[0].type < 0) {
        failComputation("the design is empty: there is no wavefront to measure");
    }
    request = requestOf(lens, args, withMtf);
    WavefrontSet set = measureWavefronts(lens.surfaces, lens.settings, request);
    if (!set.focused) {
        failComputation("the focal length is 0: the panels have no field angle");
    }
    return set;
}

void runWavefront(const WavefrontArgs& args) {
    WavefrontRequest request;
    const WavefrontSet set = measured(args, false, request);
    for (const PanelWavefront& panel : set.panels) {
        const std::string height = formatNumber(panel.height);
        for (size_t k = 0; k < kSpotLineCount; ++k) {
            if (request.lineShown[k] != 1) {
                continue;
            }
            const LineWavefront& line = panel.lines[k];
            const WavefrontNumbers& n = line.numbers;
            const bool known = n.measured;
            std::printf(
                "%s %c %d %s %s %s %s %s %s %s\n", height.c_str(), kFraunhoferLines[k].letter,
                n.rays, recordNumber(n.rms, known).c_str(), recordNumber(n.pv, known).c_str(),
                recordNumber(n.strehl, known).c_str(), recordNumber(n.rmsBest, known).c_str(),
                recordNumber(n.pvBest, known).c_str(), recordNumber(n.strehlBest, known).c_str(),
                recordNumber(line.focusShiftMm, known && set.fNumber > 0.0).c_str());
        }
    }
}

void runMtf(const WavefrontArgs& args) {
    WavefrontRequest request;
    const WavefrontSet set = measured(args, true, request);
    if (!(set.fNumber > 0.0)) {
        failComputation("the design has no F-number: there is no cut-off frequency");
    }
    std::vector<double> frequencies;
    if (args.frequencies.empty()) {
        const double cutOff = 1.0 / (lineWavelengthMm(WavelengthLine::d) * set.fNumber);
        for (int k = 0; k <= kDefaultMtfSteps; ++k) {
            frequencies.push_back(cutOff * k / kDefaultMtfSteps);
        }
    } else {
        frequencies = parseNumbers(args.frequencies, 0, "--freq");
        for (const double f : frequencies) {
            if (!(f >= 0.0) || !std::isfinite(f)) {
                failUsage("--freq takes finite frequencies of 0 cycles/mm or more");
            }
        }
    }
    for (const PanelWavefront& panel : set.panels) {
        const std::string height = formatNumber(panel.height);
        for (const double f : frequencies) {
            const MtfPoint mtf = panelMtf(panel, request.lineShown, f, false);
            const MtfPoint limit = panelMtf(panel, request.lineShown, f, true);
            const bool known = panel.ready;
            std::printf("%s %s %s %s %s\n", height.c_str(), formatNumber(f).c_str(),
                        recordNumber(mtf.tangential, known).c_str(),
                        recordNumber(mtf.sagittal, known).c_str(),
                        recordNumber(0.5 * (limit.tangential + limit.sagittal), known).c_str());
        }
    }
}

CLI::App* commandWith(CLI::App& app, const char* name, const char* what,
                      std::shared_ptr<WavefrontArgs> args) {
    CLI::App* cmd = app.add_subcommand(name, what);
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("--heights", args->heights, "image heights A,B,C of the panels (mm)");
    cmd->add_option("--lines", args->lines, "lines, comma list (all when not given)");
    cmd->add_option("--grid", args->grid, "pupil points across, N (default 64)");
    addSettingsOptions(cmd, args->settings);
    return cmd;
}

} // namespace

void addWavefrontCommands(CLI::App& app) {
    auto wavefront = std::make_shared<WavefrontArgs>();
    commandWith(app, "wavefront",
                "print the wavefront error (waves), Strehl ratio and best-focus shift (mm) of "
                "each panel and line",
                wavefront)
        ->callback([wavefront] { runWavefront(*wavefront); });
    auto mtf = std::make_shared<WavefrontArgs>();
    CLI::App* cmd = commandWith(app, "mtf",
                                "print the MTF of each panel (mean of the lines) against the "
                                "diffraction limit at frequencies in cycles/mm",
                                mtf);
    cmd->add_option("--freq", mtf->frequencies, "frequencies F1,F2,... (cycles/mm)");
    cmd->callback([mtf] { runMtf(*mtf); });
}

} // namespace kiro::cli
