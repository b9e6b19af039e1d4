#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_common.h"
#include "cli/terminal_progress.h"
#include "design/merit.h"
#include "design/optimizer.h"
#include "presenters/optimize_summary.h"

namespace kiro::cli {
namespace {

struct MeasureArgs {
    std::string path;
    SettingsOptions settings;
    double hMin = 0.0;
    double hMax = 0.0;
    std::string sa, ca, osc, mean;
    int mask = 0;
    bool maskGiven = false;
};

void runMeasure(const MeasureArgs& args) {
    const int chosen = !args.sa.empty() + !args.ca.empty() + args.maskGiven + !args.osc.empty() +
                       !args.mean.empty();
    if (chosen != 1) {
        failUsage("measure needs exactly one of --sa, --ca, --mask, --osc, --mean");
    }
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    const SurfaceTable& table = lens.surfaces;
    const Settings& settings = lens.settings;
    double value = 0.0;
    if (!args.sa.empty()) {
        value = sphericalAberration(table, settings, args.hMin, args.hMax, parseLine(args.sa));
    } else if (!args.ca.empty() || args.maskGiven) {
        const int mask = args.maskGiven ? args.mask : parseLineList(args.ca);
        value = chromaticAberration(table, settings, args.hMin, args.hMax, mask);
    } else if (!args.osc.empty()) {
        value = sineConditionOffence(table, settings, args.hMin, args.hMax, parseLine(args.osc));
    } else {
        value = meanFocus(table, settings, args.hMin, args.hMax, parseLine(args.mean));
    }
    std::printf("%s\n", formatNumber(value).c_str());
}

struct RefocusArgs {
    std::string path;
    std::string out;
    std::string line = "d";
    SettingsOptions settings;
};

void runRefocus(const RefocusArgs& args) {
    const int line = parseLine(args.line);
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    refocus(lens.surfaces, lens.settings, line);
    saveDesign(lens, args.out);
}

struct OptimizeArgs {
    std::string path;
    std::string out;
    SettingsOptions settings;
    double range = OptimizerSettings{}.changeRangePercent;
    std::string saLine;
    std::string caLines;
    bool caLinesGiven = false;
    int caMask = 0;
    bool caMaskGiven = false;
    std::string measures;
    bool measuresGiven = false;
    std::string vary;
    bool varyGiven = false;
    int threads = 0;
    bool quiet = false;
};

// Splits a comma list into its words; an empty text is an empty list.
template <class Visit> void forEachWord(const std::string& text, Visit&& visit) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        visit(text.substr(start, end - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
}

void setChromaticLines(OptimizerSettings& settings, int mask) {
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        settings.chromaticLines[line - WavelengthLine::First] = (mask & lineBit(line)) != 0;
    }
}

OptimizerSettings optimizerSettings(const OptimizeArgs& args) {
    OptimizerSettings settings;
    if (!std::isfinite(args.range)) {
        failUsage("--range must be a finite number of per cent");
    }
    settings.changeRangePercent = args.range;
    if (!args.saLine.empty()) {
        settings.sphericalLine = parseLine(args.saLine);
    }
    if (args.caLinesGiven && args.caMaskGiven) {
        failUsage("give --ca-lines or --ca-mask, not both");
    }
    if (args.caLinesGiven) {
        setChromaticLines(settings, args.caLines.empty() ? 0 : parseLineList(args.caLines));
    } else if (args.caMaskGiven) {
        setChromaticLines(settings, args.caMask);
    }
    if (args.measuresGiven) {
        settings.minimiseSpherical = settings.minimiseChromatic = settings.minimiseOsc = false;
        forEachWord(args.measures, [&](const std::string& word) {
            if (word == "sa") {
                settings.minimiseSpherical = true;
            } else if (word == "ca") {
                settings.minimiseChromatic = true;
            } else if (word == "osc") {
                settings.minimiseOsc = true;
            } else if (word != "none") {
                failUsage("unknown measure '" + word + "' (sa, ca, osc)");
            }
        });
    }
    if (args.varyGiven) {
        settings.varySphericalLenses = settings.varySphericalMirrors = false;
        settings.varyLensSpacings = false;
        forEachWord(args.vary, [&](const std::string& word) {
            if (word == "lens") {
                settings.varySphericalLenses = true;
            } else if (word == "mirror") {
                settings.varySphericalMirrors = true;
            } else if (word == "spacing") {
                settings.varyLensSpacings = true;
            } else if (word != "none") {
                failUsage("unknown kind '" + word + "' (lens, mirror, spacing)");
            }
        });
    }
    return settings;
}

void printPass(const PassReport& report) {
    std::fputs(passReportLine(report).c_str(), stdout);
    std::fflush(stdout);
}

void runOptimize(const OptimizeArgs& args) {
    if (args.threads < 0) {
        failUsage("--threads must be 1 or more (0: every core)");
    }
    const OptimizerSettings settings = optimizerSettings(args);
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    OptimizeOptions options;
    options.threads = args.threads;
    TerminalProgress progress(args.quiet);
    if (progress.active()) {
        options.progress = [&progress](const OptimizeProgress& p) { progress.show(p); };
    }
    options.passDone = [&progress](const PassReport& report) {
        progress.clear();
        printPass(report);
    };
    const OptimizeResult result = optimizeDesign(lens, settings, options);
    progress.clear();
    switch (result.status) {
    case OptimizeStatus::TooManyRows:
        failUsage("too many radii to vary: " + std::to_string(result.variedRows) + " (" +
                  std::to_string(kMaxVariedRows) + " at most)");
    case OptimizeStatus::InvalidRange:
        failUsage("--range must be a finite number of per cent");
    case OptimizeStatus::Cancelled:
        failComputation("optimization cancelled");
    case OptimizeStatus::Unmeasurable:
        failComputation("kiro-cli: " + args.path +
                        ": the spherical aberration cannot be measured: nothing to optimize "
                        "against, no file written");
    case OptimizeStatus::Done:
        break;
    }
    saveDesign(lens, args.out);
}

void addMeasure(CLI::App& app) {
    auto args = std::make_shared<MeasureArgs>();
    CLI::App* cmd = app.add_subcommand("measure", "print one merit measure of a design");
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("--hmin", args->hMin, "innermost zone height (mm)")->required();
    cmd->add_option("--hmax", args->hMax, "outer limit of the zones (mm)")->required();
    cmd->add_option("--sa", args->sa, "spherical aberration at line L");
    cmd->add_option("--ca", args->ca, "chromatic aberration over the lines (comma list)");
    cmd->add_option_function<int>(
        "--mask",
        [args](int mask) {
            args->mask = mask;
            args->maskGiven = true;
        },
        "chromatic aberration over a line mask (bit k for line k)");
    cmd->add_option("--osc", args->osc, "offence against the sine condition at line L");
    cmd->add_option("--mean", args->mean, "mean focus position at line L");
    addSettingsOptions(cmd, args->settings);
    cmd->callback([args] { runMeasure(*args); });
}

void addRefocus(CLI::App& app) {
    auto args = std::make_shared<RefocusArgs>();
    CLI::App* cmd =
        app.add_subcommand("refocus", "move the focal plane to the mean focus and write OUT");
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("--line", args->line, "line of the mean focus (default d)");
    cmd->add_option("-o,--output", args->out, "design file to write")->required();
    addSettingsOptions(cmd, args->settings);
    cmd->callback([args] { runRefocus(*args); });
}

void addOptimize(CLI::App& app) {
    auto args = std::make_shared<OptimizeArgs>();
    CLI::App* cmd = app.add_subcommand(
        "optimize", "run the optimizer's passes as the menu command does and write OUT");
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("-o,--output", args->out, "design file to write")->required();
    cmd->add_option("--range", args->range, "change range of the first pass in per cent (5)");
    cmd->add_option("--sa-line", args->saLine, "line of spherical aberration, OSC, refocus (d)");
    cmd->add_option_function<std::string>(
        "--ca-lines",
        [args](const std::string& lines) {
            args->caLines = lines;
            args->caLinesGiven = true;
        },
        "lines of the chromatic aberration, comma list (d,F)");
    cmd->add_option_function<int>(
        "--ca-mask",
        [args](int mask) {
            args->caMask = mask;
            args->caMaskGiven = true;
        },
        "lines of the chromatic aberration as a mask (bit k for line k)");
    cmd->add_option_function<std::string>(
        "--measures",
        [args](const std::string& list) {
            args->measures = list;
            args->measuresGiven = true;
        },
        "measures to minimise: sa,ca,osc or none (sa,ca)");
    cmd->add_option_function<std::string>(
        "--vary",
        [args](const std::string& list) {
            args->vary = list;
            args->varyGiven = true;
        },
        "rows that vary: lens,mirror,spacing or none (lens,mirror)");
    cmd->add_option("--threads", args->threads, "threads to search with (0: every core)");
    cmd->add_flag("--quiet", args->quiet, "no progress on stderr (shown when it is a terminal)");
    addSettingsOptions(cmd, args->settings);
    cmd->callback([args] { runOptimize(*args); });
}

} // namespace

void addMeritCommands(CLI::App& app) {
    addMeasure(app);
    addRefocus(app);
    addOptimize(app);
}

} // namespace kiro::cli
