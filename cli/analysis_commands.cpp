#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>
#include <QString>

#include "analysis/aberration_curves.h"
#include "analysis/information_text.h"
#include "analysis/light_amount_curve.h"
#include "analysis/recording_canvas.h"
#include "analysis/spot_diagram.h"
#include "analysis/spot_statistics.h"
#include "cli/cli_common.h"
#include "model/c_numbers.h"
#include "model/spectral_lines.h"
#include "render/layout_picture.h"
#include "render/qt_canvas.h"

namespace kiro::cli {

namespace {

constexpr int kMaxRenderSide = 16384;
constexpr int kAllLinesMask = 0x7E; // bits 1..6

struct PictureSize {
    int width = 0;
    int height = 0;
};

constexpr PictureSize kLayoutSize{630, 400};
constexpr PictureSize kSpotSize{kSpotDialogWidth, kSpotDialogHeight};
constexpr PictureSize kCurvesSize{kCurveDialogWidth, kCurveDialogHeight};
constexpr PictureSize kLightSize{kLightDialogWidth, kLightDialogHeight};

// The lines a view or command shows: --lines or --mask, all when neither is given.
struct LineOptions {
    std::string lines;
    std::optional<int> mask;
};

struct InfoArgs {
    std::string path;
    SettingsOptions settings;
};

struct SpotArgs {
    std::string path;
    SettingsOptions settings;
    std::string heights;
    LineOptions lines;
};

struct RenderArgs {
    std::string view;
    std::string path;
    std::string out;
    std::string size;
    SettingsOptions settings;
    std::string heights;
    LineOptions lines;
    bool airy = false;
    std::optional<double> magnification;
    std::optional<int> scroll;
    std::optional<int> floor;
};

void runInfo(const InfoArgs& args) {
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    const std::string text =
        buildInformationText(lens.surfaces, lens.settings, apertureRadius(lens.surfaces));
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

// The picture format of the output's extension; nothing for the primitive list (.txt).
std::optional<PictureFormat> outputFormatOf(const std::string& path) {
    const QString name = QString::fromStdString(path);
    if (const auto format = pictureFormatOf(name)) {
        return format;
    }
    if (name.toLower().endsWith(QStringLiteral(".txt"))) {
        return std::nullopt;
    }
    failUsage("the output's extension must be .png, .svg, .pdf or .txt: " + path);
}

int parseSide(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return 0;
    }
    return std::stoi(text);
}

PictureSize parseSize(const std::string& text, PictureSize fallback) {
    if (text.empty()) {
        return fallback;
    }
    const size_t x = text.find_first_of("xX");
    const int w = x == std::string::npos ? 0 : parseSide(text.substr(0, x));
    const int h = x == std::string::npos ? 0 : parseSide(text.substr(x + 1));
    if (w < 1 || h < 1 || w > kMaxRenderSide || h > kMaxRenderSide) {
        failUsage("--size expects WxH with each side 1 to " + std::to_string(kMaxRenderSide) +
                  ": " + text);
    }
    return {w, h};
}

// The lines of --lines or --mask, as a mask with bit k for line k; all when neither.
int shownLinesMask(const LineOptions& args) {
    if (!args.lines.empty() && args.mask) {
        failUsage("give either --lines or --mask");
    }
    if (args.mask) {
        if (*args.mask < 0 || (*args.mask & ~kAllLinesMask) != 0) {
            failUsage("--mask takes bits 1 to 6 (C to h)");
        }
        return *args.mask;
    }
    return args.lines.empty() ? kAllLinesMask : parseLineList(args.lines);
}

template <size_t N> void applyLines(std::array<int, N>& shown, int mask) {
    for (size_t k = 0; k < N; ++k) {
        shown[k] = (mask >> (k + 1)) & 1;
    }
}

int checkedScroll(const RenderArgs& args, int lowest, int highest) {
    if (*args.scroll < lowest || *args.scroll > highest) {
        failUsage("--scroll takes a position from " + std::to_string(lowest) + " to " +
                  std::to_string(highest));
    }
    return *args.scroll;
}

void rejectOptions(const RenderArgs& args, bool spot, bool lines, bool zoom, bool floor) {
    const bool spotOnly = !args.heights.empty() || args.airy;
    if ((!spot && spotOnly) || (!lines && (!args.lines.lines.empty() || args.lines.mask)) ||
        (!zoom && (args.magnification || args.scroll)) || (!floor && args.floor)) {
        failUsage("option not used by the " + args.view + " view");
    }
}

// The spot dialog as it opens, then the panels' heights and the lines of the options.
SpotDialogState spotState(const LensSystem& lens, const std::string& heights,
                          const LineOptions& lines) {
    SpotDialogState state = openSpotDialog(lens.surfaces);
    if (!heights.empty()) {
        const std::vector<double> given = parseNumbers(heights, 3, "--heights");
        std::copy(given.begin(), given.end(), state.spotHeight.begin());
    }
    applyLines(state.spotLineShown, shownLinesMask(lines));
    return state;
}

PaintFunction spotPainter(const LensSystem& lens, const RenderArgs& args) {
    SpotDialogState state = spotState(lens, args.heights, args.lines);
    state.spotAiryShown = args.airy;
    if (args.magnification && args.scroll) {
        failUsage("give either --mag or --scroll");
    }
    if (args.magnification) {
        if (!(*args.magnification > 0.0) || !std::isfinite(*args.magnification)) {
            failUsage("--mag must be a positive number");
        }
        state.spotMagnification = *args.magnification;
    } else if (args.scroll) {
        state.spotScrollPos = checkedScroll(args, kSpotScrollMin, kSpotScrollMax);
        state.spotMagnification = spotMagnificationForScroll(state.spotScrollPos);
    }
    return [&lens, state](Canvas& canvas) {
        paintSpotDialog(canvas, state, lens.surfaces, lens.settings);
    };
}

PaintFunction curvesPainter(const LensSystem& lens, const RenderArgs& args, PictureSize size) {
    CurveDialogState state;
    applyLines(state.curveLineShown, shownLinesMask(args.lines));
    if (args.magnification) {
        failUsage("the curves view takes --scroll, not --mag");
    }
    if (args.scroll) {
        state.curveScrollPos = checkedScroll(args, kCurveScrollMin, kCurveScrollMax);
    }
    state.curveScale = curveScaleForScroll(state.curveScrollPos);
    const int plotHeight = size.height - kCurveButtonStrip;
    return [&lens, state, size, plotHeight](Canvas& canvas) {
        paintCurveDialog(canvas, state, lens.surfaces, lens.settings, size.width, plotHeight);
    };
}

PaintFunction lightPainter(const LensSystem& lens, const RenderArgs& args, PictureSize size) {
    int floor = 0;
    if (args.floor) {
        if (*args.floor < kLightFloorMin || *args.floor > kLightFloorMax) {
            failUsage("--floor takes a percentage from 0 to 90");
        }
        floor = *args.floor;
    }
    const int plotHeight = size.height - kLightButtonStrip;
    return [&lens, size, plotHeight, floor](Canvas& canvas) {
        paintLightDialog(canvas, lens.surfaces, lens.settings, size.width, plotHeight, floor);
    };
}

// Qt's notes about the environment (no runtime folder, font substitutions) are not the
// command's business; only its serious messages reach stderr.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "kiro-cli: %s\n", message.toLocal8Bit().constData());
    }
}

QByteArray encodeOffscreen(PictureFormat format, PictureSize size, const PaintFunction& paint) {
    // Pictures need a GUI application for fonts; without a display it runs offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(quietQtMessages);
    int argc = 1;
    char name[] = "kiro-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    return encodePicture(format, size.width, size.height, paint);
}

void runRender(const RenderArgs& args) {
    const std::optional<PictureFormat> format = outputFormatOf(args.out);
    PictureSize size = kLayoutSize;
    if (args.view == "spot") {
        size = kSpotSize;
    } else if (args.view == "curves") {
        size = kCurvesSize;
    } else if (args.view == "light") {
        size = kLightSize;
    }
    size = parseSize(args.size, size);

    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    if (args.view != "layout" && lens.surfaces[0].type < 0) {
        failComputation("the design is empty: there is no " + args.view + " view to draw");
    }
    PaintFunction paint;
    if (args.view == "layout") {
        rejectOptions(args, false, false, false, false);
        paint = layoutPainter(lens, size.width, size.height);
    } else if (args.view == "spot") {
        rejectOptions(args, true, true, true, false);
        paint = spotPainter(lens, args);
    } else if (args.view == "curves") {
        rejectOptions(args, false, true, true, false);
        paint = curvesPainter(lens, args, size);
    } else {
        rejectOptions(args, false, false, false, true);
        paint = lightPainter(lens, args, size);
    }

    if (!format) {
        RecordingCanvas canvas;
        paint(canvas);
        writeFileAtomically(args.out, canvas.text());
        return;
    }
    const QByteArray bytes = encodeOffscreen(*format, size, paint);
    if (bytes.isEmpty()) {
        failUsage("cannot make the picture " + args.out);
    }
    writeFileAtomically(args.out, bytes.toStdString());
}

void addLineOptions(CLI::App* cmd, LineOptions& lines, const std::string& views) {
    cmd->add_option("--lines", lines.lines, views + "lines shown, comma list");
    cmd->add_option_function<int>(
        "--mask", [&lines](int mask) { lines.mask = mask; },
        views + "lines shown as a mask (bit k for line k)");
}

// A radius or offset of the spot command, or "-" where there is no number.
std::string spotNumber(double value, bool known) {
    return known ? formatShownC("%.17g", value) : std::string(kNoValueText);
}

void printSpotRecord(const std::string& height, const char* line, const SpotSpread& spread,
                     double airy) {
    std::printf("%s %s %d %s %s %s %s %s\n", height.c_str(), line, spread.rays,
                spotNumber(spread.centroidA, spread.measured).c_str(),
                spotNumber(spread.centroidB, spread.measured).c_str(),
                spotNumber(spread.rmsRadius, spread.measured).c_str(),
                spotNumber(spread.geoRadius, spread.measured).c_str(),
                spotNumber(airy, airy > 0.0).c_str());
}

void runSpot(const SpotArgs& args) {
    LensSystem lens;
    loadDesign(lens, args.path, args.settings);
    if (lens.surfaces[0].type < 0) {
        failComputation("the design is empty: there is no spot to measure");
    }
    const SpotDialogState state = spotState(lens, args.heights, args.lines);
    const SpotStatistics statistics = spotStatistics(lens.surfaces, lens.settings, state);
    if (!statistics.focused) {
        failComputation("the focal length is 0: the panels have no field angle");
    }
    for (const SpotPanelStatistics& panel : statistics.panels) {
        const std::string height = formatNumber(panel.height);
        for (size_t k = 0; k < kSpotLineCount; ++k) {
            if (state.spotLineShown[k] == 1) {
                const char letter[] = {kSpectralLines[k].letter, '\0'};
                printSpotRecord(height, letter, panel.lines[k], statistics.airy[k]);
            }
        }
        printSpotRecord(height, "all", panel.all,
                        statistics.airy[static_cast<size_t>(WavelengthLine::d - 1)]);
    }
}

void addSpot(CLI::App& app) {
    auto args = std::make_shared<SpotArgs>();
    CLI::App* cmd = app.add_subcommand(
        "spot", "print the spot radii and the Airy radius of each panel and line (micrometres)");
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("--heights", args->heights, "image heights A,B,C of the panels (mm)");
    addLineOptions(cmd, args->lines, "");
    addSettingsOptions(cmd, args->settings);
    cmd->callback([args] { runSpot(*args); });
}

void addInfo(CLI::App& app) {
    auto args = std::make_shared<InfoArgs>();
    CLI::App* cmd = app.add_subcommand("info", "print the information text of a design");
    cmd->add_option("FILE", args->path, "design file")->required();
    addSettingsOptions(cmd, args->settings);
    cmd->callback([args] { runInfo(*args); });
}

void addRender(CLI::App& app) {
    auto args = std::make_shared<RenderArgs>();
    CLI::App* cmd = app.add_subcommand(
        "render", "draw a view of a design to .png, .svg, .pdf or a primitive list (.txt)");
    cmd->add_option("VIEW", args->view, "layout, spot, curves or light")
        ->required()
        ->check(CLI::IsMember({"layout", "spot", "curves", "light"}));
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("-o,--output", args->out, "picture to write")->required();
    cmd->add_option("--size", args->size, "client area WxH in pixels");
    cmd->add_option("--heights", args->heights, "spot: image heights A,B,C of the panels (mm)");
    addLineOptions(cmd, args->lines, "spot, curves: ");
    cmd->add_flag("--airy", args->airy,
                  "spot: the Airy disks and the spot radii, as with the dialog's box ticked");
    cmd->add_option_function<double>(
        "--mag", [args](double mag) { args->magnification = mag; },
        "spot: magnification in pixels per mm");
    cmd->add_option_function<int>(
        "--scroll", [args](int pos) { args->scroll = pos; },
        "spot, curves: scroll-bar position (1 to 150)");
    cmd->add_option_function<int>(
        "--floor", [args](int floor) { args->floor = floor; },
        "light: percentage at the bottom of the plot (0 to 90)");
    addSettingsOptions(cmd, args->settings);
    cmd->callback([args] { runRender(*args); });
}

} // namespace

void addAnalysisCommands(CLI::App& app) {
    addInfo(app);
    addRender(app);
    addSpot(app);
}

} // namespace kiro::cli
