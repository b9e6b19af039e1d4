// Reads each input as a design and runs every analysis, measure and drawing on it, to the
// recording canvas. Catches hangs (run with -timeout), crashes, sanitizer reports, a
// measure of NaN and a drawn label showing "nan" or "inf". Run, for example:
//   kiro_analyses_fuzzer -max_total_time=60 -timeout=10 corpus/ examples/ tests/data/
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/aberration_curves.h"
#include "analysis/information_text.h"
#include "analysis/layout_view.h"
#include "analysis/light_amount_curve.h"
#include "analysis/recording_canvas.h"
#include "analysis/spot_diagram.h"
#include "design/merit.h"
#include "model/design_file.h"
#include "presenters/curve_dialog_state.h"
#include "presenters/spot_dialog_state.h"
#include "trace/bundles.h"

namespace {

using namespace kiro;

// A coarse pupil grid keeps one input's work to a fraction of a second under the
// sanitizers; every loop runs as it does for the window.
constexpr int kGridPoints = 6;
constexpr int kClientWidth = 630;
constexpr int kClientHeight = 400;
constexpr int kPlotHeight = 360;

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// Labels are the "text X Y STRING" lines of the recording.
void checkLabels(const std::string& recording) {
    size_t start = 0;
    while (start < recording.size()) {
        size_t end = recording.find('\n', start);
        if (end == std::string::npos) {
            end = recording.size();
        }
        const std::string_view line(recording.data() + start, end - start);
        if (line.starts_with("text ")) {
            check(line.find("nan") == std::string_view::npos &&
                  line.find("inf") == std::string_view::npos);
        }
        start = end + 1;
    }
}

void measure(const LensSystem& lens, double r) {
    const SurfaceTable& table = lens.surfaces;
    const Settings& settings = lens.settings;
    buildInformationText(table, settings, r);
    const double hMin = r / 8, hMax = r / 2;
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        zonalFocus(table, settings, line, r / 1000, ZonalMode::OpticalOnly);
        zonalFocus(table, settings, line, r, ZonalMode::WithStops);
        sineFocusDeviation(table, 0.0, line, hMin);
        lightAmount(table, settings, 0.01, r, line);
    }
    check(!std::isnan(sphericalAberration(table, settings, hMin, hMax, WavelengthLine::d)));
    check(!std::isnan(chromaticAberration(table, settings, hMin, hMax, 0x7e)));
    check(!std::isnan(sineConditionOffence(table, settings, hMin, hMax, WavelengthLine::d)));
    meanFocus(table, settings, hMin, hMax, WavelengthLine::d);
    SurfaceTable refocused = table;
    refocus(refocused, settings, WavelengthLine::d);
}

void draw(const LensSystem& lens) {
    const SurfaceTable& table = lens.surfaces;
    const Settings& settings = lens.settings;
    RecordingCanvas canvas;
    LayoutView view;
    updateLayoutView(view, table, LayoutMode::Fit, kClientWidth, kClientHeight, kClientWidth,
                     kClientHeight);
    drawLayout(canvas, view, table, settings);
    paintSpotDialog(canvas, openSpotDialog(table), table, settings, 1);
    CurveDialogState curves;
    paintCurveDialog(canvas, curves, table, settings, kClientWidth, kPlotHeight);
    paintLightDialog(canvas, table, settings, kClientWidth, kPlotHeight, 0, 1);
    checkLabels(canvas.text());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LensSystem lens;
    clearLensSystem(lens);
    if (!readDesignBytes(lens, reinterpret_cast<const char*>(data), size).accepted() ||
        surfaceCount(lens.surfaces) == 0) {
        return 0;
    }
    lens.settings.spotGridPoints = kGridPoints;
    const double r = apertureRadius(lens.surfaces);
    if (r > 0.0 && std::isfinite(r)) {
        measure(lens, r);
    }
    draw(lens);
    return 0;
}
