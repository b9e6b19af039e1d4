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
#include "analysis/fan_plot.h"
#include "analysis/field_plot.h"
#include "analysis/information_text.h"
#include "analysis/light_amount_curve.h"
#include "analysis/recording_canvas.h"
#include "analysis/spot_diagram.h"
#include "analysis/spot_statistics.h"
#include "analysis/wavefront_view.h"
#include "cli/cli_common.h"
#include "model/fraunhofer_lines.h"
#include "presenters/curve_dialog_state.h"
#include "presenters/fan_dialog_state.h"
#include "presenters/field_dialog_state.h"
#include "presenters/spot_dialog_state.h"
#include "render/layout_picture.h"
#include "render/qt_canvas.h"

namespace kiro::cli {

namespace {

constexpr int kMaxRenderSide = 16384;

struct PictureSize {
    int width = 0;
    int height = 0;
};

constexpr PictureSize kLayoutSize{630, 400};
constexpr PictureSize kSpotSize{kSpotDialogWidth, kSpotDialogHeight};
constexpr PictureSize kCurvesSize{kCurveDialogWidth, kCurveDialogHeight};
constexpr PictureSize kLightSize{kLightDialogWidth, kLightDialogHeight};
constexpr PictureSize kFansSize{kFanPictureWidth, kFanPictureHeight};
constexpr PictureSize kFieldSize{kFieldPictureWidth, kFieldPictureHeight};
constexpr PictureSize kWavefrontSize{kWavefrontDialogWidth, kWavefrontDialogHeight};

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
    int grid = kDefaultPupilGrid;
    bool logarithmic = false;
    double starWaves = kDefaultStarTestWaves;
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

int checkedScroll(const RenderArgs& args, int lowest, int highest) {
    if (*args.scroll < lowest || *args.scroll > highest) {
        failUsage("--scroll takes a position from " + std::to_string(lowest) + " to " +
                  std::to_string(highest));
    }
    return *args.scroll;
}

// The scroll position of a view its scroll bar alone zooms: --scroll when given, else
// current; --mag is refused.
int scrollOnly(const RenderArgs& args, int current, int lowest, int highest) {
    if (args.magnification) {
        failUsage("the " + args.view + " view takes --scroll, not --mag");
    }
    return args.scroll ? checkedScroll(args, lowest, highest) : current;
}

void rejectOptions(const RenderArgs& args, bool spot, bool lines, bool zoom, bool floor,
                   bool heights = false) {
    const bool spotOnly = (!heights && !args.heights.empty()) || args.airy;
    if ((!spot && spotOnly) || (!lines && (!args.lines.lines.empty() || args.lines.mask)) ||
        (!zoom && (args.magnification || args.scroll)) || (!floor && args.floor)) {
        failUsage("option not used by the " + args.view + " view");
    }
}

// The spot dialog as it opens, then the panels' heights and the lines of the options.
SpotDialogState spotState(const LensSystem& lens, const std::string& heights,
                          const LineOptions& lines) {
    SpotDialogState state = openSpotDialog(lens.surfaces);
    applyPanelHeights(heights, state.spotHeight);
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
    state.curveScrollPos = scrollOnly(args, state.curveScrollPos, kCurveScrollMin, kCurveScrollMax);
    state.curveScale = curveScaleForScroll(state.curveScrollPos);
    const int plotHeight = size.height - kCurveButtonStrip;
    return [&lens, state, size, plotHeight](Canvas& canvas) {
        paintCurveDialog(canvas, state, lens.surfaces, lens.settings, size.width, plotHeight);
    };
}

PaintFunction fansPainter(const LensSystem& lens, const RenderArgs& args, PictureSize size) {
    FanDialogState state = openFanDialog(lens.surfaces);
    applyPanelHeights(args.heights, state.heights);
    applyLines(state.lineShown, shownLinesMask(args.lines));
    state.scrollPos = scrollOnly(args, state.scrollPos, kSpotScrollMin, kSpotScrollMax);
    const FanView view = fanViewOf(state);
    return [&lens, view, size](Canvas& canvas) {
        paintRayFans(canvas, lens.surfaces, lens.settings, view, size.width, size.height);
    };
}

PaintFunction fieldPainter(const LensSystem& lens, const RenderArgs& args, PictureSize size) {
    FieldDialogState state;
    applyLines(state.lineShown, shownLinesMask(args.lines));
    state.curvatureScrollPos =
        scrollOnly(args, state.curvatureScrollPos, kCurveScrollMin, kCurveScrollMax);
    const FieldView view = fieldViewOf(state);
    return [&lens, view, size](Canvas& canvas) {
        paintFieldCurves(canvas, lens.surfaces, lens.settings, view, size.width, size.height);
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

std::optional<WavefrontPicture> wavefrontPictureOf(const std::string& view) {
    if (view == "wavefront") {
        return WavefrontPicture::Wavefront;
    }
    if (view == "psf") {
        return WavefrontPicture::Psf;
    }
    if (view == "mtf") {
        return WavefrontPicture::Mtf;
    }
    if (view == "startest") {
        return WavefrontPicture::StarTest;
    }
    return std::nullopt;
}

PaintFunction wavefrontPainter(const LensSystem& lens, const RenderArgs& args,
                               WavefrontPicture picture, PictureSize size) {
    if (args.grid < kMinPupilGrid || args.grid > kMaxFigureGrid) {
        failUsage("--grid takes " + std::to_string(kMinPupilGrid) + " to " +
                  std::to_string(kMaxFigureGrid) + " points across");
    }
    if (!(args.starWaves >= 0.0) || !std::isfinite(args.starWaves)) {
        failUsage("--waves takes a defocus of 0 waves or more");
    }
    const SpotDialogState state = spotState(lens, args.heights, args.lines);
    WavefrontRequest request;
    request.heights = state.spotHeight;
    request.lineShown = state.spotLineShown;
    request.grid = args.grid;
    request.side = kPaddingFactor * args.grid;
    auto figures = std::make_shared<WavefrontFigures>(
        computeWavefrontFigures(lens.surfaces, lens.settings, request, args.starWaves));
    const PsfScale scale = args.logarithmic ? PsfScale::Logarithmic : PsfScale::Linear;
    return [figures, picture, scale, size](Canvas& canvas) {
        paintWavefrontFigures(canvas, *figures, picture, scale, size.width, size.height);
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
    } else if (args.view == "fans") {
        size = kFansSize;
    } else if (args.view == "field") {
        size = kFieldSize;
    } else if (wavefrontPictureOf(args.view)) {
        size = kWavefrontSize;
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
    } else if (args.view == "fans") {
        rejectOptions(args, false, true, true, false, true);
        paint = fansPainter(lens, args, size);
    } else if (args.view == "field") {
        rejectOptions(args, false, true, true, false);
        paint = fieldPainter(lens, args, size);
    } else if (const auto picture = wavefrontPictureOf(args.view)) {
        rejectOptions(args, false, true, false, false, true);
        paint = wavefrontPainter(lens, args, *picture, size);
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

void printSpotRecord(const std::string& height, const char* line, const SpotSpread& spread,
                     double airy) {
    std::printf("%s %s %d %s %s %s %s %s\n", height.c_str(), line, spread.rays,
                recordNumber(spread.centroidA, spread.measured).c_str(),
                recordNumber(spread.centroidB, spread.measured).c_str(),
                recordNumber(spread.rmsRadius, spread.measured).c_str(),
                recordNumber(spread.geoRadius, spread.measured).c_str(),
                recordNumber(airy, airy > 0.0).c_str());
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
                const char letter[] = {kFraunhoferLines[k].letter, '\0'};
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
    cmd->add_option("VIEW", args->view,
                    "layout, spot, curves, light, fans, field, wavefront, psf, mtf or startest")
        ->required()
        ->check(CLI::IsMember({"layout", "spot", "curves", "light", "fans", "field", "wavefront",
                               "psf", "mtf", "startest"}));
    cmd->add_option("FILE", args->path, "design file")->required();
    cmd->add_option("-o,--output", args->out, "picture to write")->required();
    cmd->add_option("--size", args->size, "client area WxH in pixels");
    cmd->add_option("--heights", args->heights,
                    "spot, fans, wavefront, psf, mtf, startest: image heights A,B,C of the "
                    "panels (mm)");
    addLineOptions(cmd, args->lines, "spot, curves, fans, field, wavefront, psf, mtf, startest: ");
    cmd->add_flag("--airy", args->airy,
                  "spot: the Airy disks and the spot radii, as with the dialog's box ticked");
    cmd->add_option_function<double>(
        "--mag", [args](double mag) { args->magnification = mag; },
        "spot: magnification in pixels per mm");
    cmd->add_option_function<int>(
        "--scroll", [args](int pos) { args->scroll = pos; },
        "spot, curves, fans, field: scroll-bar position (1 to 150)");
    cmd->add_option_function<int>(
        "--floor", [args](int floor) { args->floor = floor; },
        "light: percentage at the bottom of the plot (0 to 90)");
    cmd->add_option("--grid", args->grid,
                    "wavefront, psf, mtf, startest: pupil points across, N (default 64)");
    cmd->add_flag("--log", args->logarithmic, "psf: a logarithmic scale (4 decades)");
    cmd->add_option("--waves", args->starWaves, "startest: waves of defocus k (default 4)");
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
