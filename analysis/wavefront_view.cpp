#include "analysis/wavefront_view.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "analysis/spot_statistics.h"
#include "model/c_numbers.h"

namespace kiro {

const WavefrontWords kWavefrontWords{"回折限界", "最良焦点", "波面なし"};

namespace {

constexpr int kHeaderHeight = 18;
constexpr int kTextLineHeight = 14;
constexpr int kScaleStripHeight = 8;
constexpr int kPictureMargin = 10;
constexpr int kNumberLines = 3;
constexpr int kMtfSamples = 100;
constexpr int kPsfWindowDivisor = 4; // the PSF picture shows side / 4 pixels across
constexpr double kLogDecades = 4.0;
constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kGrey{160, 160, 160};
constexpr Colour kTangentialColour{220, 40, 40};
constexpr Colour kSagittalColour{40, 80, 220};

// Blue, cyan, green, yellow, red for 0..1.
Colour falseColour(double t) {
    t = std::clamp(t, 0.0, 1.0);
    constexpr std::array<Colour, 5> stops{
        {{0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}}};
    const double scaled = t * (stops.size() - 1);
    const size_t k = std::min(static_cast<size_t>(scaled), stops.size() - 2);
    const double f = scaled - static_cast<double>(k);
    const auto mix = [f](int a, int b) { return static_cast<int>(a + (b - a) * f + 0.5); };
    return {mix(stops[k].red, stops[k + 1].red), mix(stops[k].green, stops[k + 1].green),
            mix(stops[k].blue, stops[k + 1].blue)};
}

Colour grey(double t) {
    const int level = static_cast<int>(255.0 * std::clamp(t, 0.0, 1.0) + 0.5);
    return {level, level, level};
}

// Where a panel's picture lies.
struct PanelBox {
    int left = 0;  // the panel's left edge
    int width = 0; // the panel's width
    int x = 0;     // the picture square's top-left corner
    int y = 0;
    int side = 0; // the picture square's side
};

PanelBox panelBox(int panel, int width, int height) {
    PanelBox box;
    box.width = width / kSpotPanelCount;
    box.left = panel * box.width;
    const int below = kScaleStripHeight + kTextLineHeight * (kNumberLines + 1) + kPictureMargin;
    box.side =
        std::max(0, std::min(box.width - 2 * kPictureMargin, height - kHeaderHeight - below));
    box.x = box.left + (box.width - box.side) / 2;
    box.y = kHeaderHeight;
    return box;
}

std::string fixed(const char* format, double value) {
    return formatShownC(format, value);
}

// An image of values (row y at y * side) scaled to the square, its centre window of
// `window` values across.
template <class Shade>
void drawImage(Canvas& canvas, const PointSpread& psf, int window, int x0, int y0, int side,
               Shade&& shade) {
    if (psf.side == 0 || side <= 0) {
        return;
    }
    const int first = (psf.side - window) / 2;
    const double peak = psf.peak();
    for (int py = 0; py < side; ++py) {
        const int y = first + py * window / side;
        for (int px = 0; px < side; ++px) {
            const int x = first + px * window / side;
            const double value =
                psf.intensity[static_cast<size_t>(y) * psf.side + static_cast<size_t>(x)];
            canvas.setPixel(x0 + px, y0 + py, shade(peak > 0.0 ? value / peak : 0.0));
        }
    }
}

Colour psfShade(double relative, PsfScale scale) {
    if (scale == PsfScale::Linear) {
        return grey(relative);
    }
    return grey(relative > 0.0 ? 1.0 + std::log10(relative) / kLogDecades : 0.0);
}

void drawFrame(Canvas& canvas, int x, int y, int side) {
    canvas.selectPen(1, kBlack);
    canvas.moveTo(x, y);
    canvas.lineTo(x + side, y);
    canvas.lineTo(x + side, y + side);
    canvas.lineTo(x, y + side);
    canvas.lineTo(x, y);
}

void drawOpdMap(Canvas& canvas, const PupilMap& map, const PanelBox& box) {
    double low = INFINITY;
    double high = -INFINITY;
    for (size_t k = 0; k < map.opd.size(); ++k) {
        if (map.live[k] != 0) {
            low = std::min(low, map.opd[k]);
            high = std::max(high, map.opd[k]);
        }
    }
    const double span = high > low ? high - low : 1.0;
    for (int py = 0; py < box.side; ++py) {
        // The pupil's v grows upwards.
        const int j = (box.side - 1 - py) * map.n / box.side;
        for (int px = 0; px < box.side; ++px) {
            const int i = px * map.n / box.side;
            const size_t at = static_cast<size_t>(j) * map.n + static_cast<size_t>(i);
            canvas.setPixel(box.x + px, box.y + py,
                            map.live[at] != 0 ? falseColour((map.opd[at] - low) / span) : kWhite);
        }
    }
    // The scale: the colours from the lowest to the highest value, in waves.
    const int stripY = box.y + box.side + 2;
    for (int px = 0; px < box.side; ++px) {
        const Colour colour = falseColour(box.side > 1 ? px / (box.side - 1.0) : 0.0);
        for (int py = 0; py < kScaleStripHeight - 2; ++py) {
            canvas.setPixel(box.x + px, stripY + py, colour);
        }
    }
    if (std::isfinite(low)) {
        canvas.textOut(box.x, box.y + box.side + kScaleStripHeight,
                       fixed("%.3f", low) + "λ .. " + fixed("%.3f", high) + "λ");
    }
}

// The size of a PSF window as text, e.g. "□ 23.5µm".
std::string windowText(const PointSpread& psf, int window) {
    return "□ " + fixed("%.1f", window * psf.pixelMm * kMicrometresPerMillimetre) + "µm";
}

void drawPsf(Canvas& canvas, const PointSpread& psf, PsfScale scale, const PanelBox& box) {
    const int window = std::max(1, psf.side / kPsfWindowDivisor);
    drawImage(canvas, psf, window, box.x, box.y, box.side,
              [scale](double relative) { return psfShade(relative, scale); });
    canvas.textOut(box.x, box.y + box.side + kScaleStripHeight, windowText(psf, window));
}

void drawStarTest(Canvas& canvas, const StarTest& star, double waves, const PanelBox& box) {
    const int half = box.side / 2;
    const int y = box.y + (box.side - half) / 2;
    const auto linear = [](double relative) { return grey(relative); };
    drawImage(canvas, star.inside, star.inside.side, box.x, y, half - 1, linear);
    drawImage(canvas, star.outside, star.outside.side, box.x + half + 1, y, half - 1, linear);
    canvas.textOut(box.x, y + half + 2, "-" + fixed("%g", waves) + "λ");
    canvas.textOut(box.x + half + 1, y + half + 2, "+" + fixed("%g", waves) + "λ");
    if (star.inside.side > 0) {
        canvas.textOut(box.x, box.y + box.side + kScaleStripHeight,
                       windowText(star.inside, star.inside.side));
    }
}

// The largest cut-off of the shown lines (the shortest wavelength's).
double largestCutOff(const WavefrontFigures& figures) {
    double largest = 0.0;
    for (size_t k = 0; k < kSpotLineCount; ++k) {
        if (figures.lineShown[k] == 1 && figures.set.fNumber > 0.0) {
            const double wavelengthMm = lineWavelengthMm(static_cast<int>(k) + 1);
            largest = std::max(largest, 1.0 / (wavelengthMm * figures.set.fNumber));
        }
    }
    return largest;
}

void drawMtf(Canvas& canvas, const WavefrontFigures& figures, const PanelWavefront& panel,
             const PanelBox& box) {
    drawFrame(canvas, box.x, box.y, box.side);
    canvas.selectPen(1, kGrey);
    for (int k = 1; k < 5; ++k) {
        drawLine(canvas, box.x, box.y + box.side * k / 5.0, box.x + box.side,
                 box.y + box.side * k / 5.0);
    }
    const double top = largestCutOff(figures);
    if (!(top > 0.0)) {
        return;
    }
    struct Curve {
        Colour colour;
        bool limit;
        bool tangential;
    };
    for (const Curve& curve : {Curve{kBlack, true, true}, Curve{kTangentialColour, false, true},
                               Curve{kSagittalColour, false, false}}) {
        canvas.selectPen(1, curve.colour);
        Polyline line(canvas);
        for (int s = 0; s <= kMtfSamples; ++s) {
            const double f = top * s / kMtfSamples;
            const MtfPoint point = panelMtf(panel, figures.lineShown, f, curve.limit);
            const double value = curve.limit        ? 0.5 * (point.tangential + point.sagittal)
                                 : curve.tangential ? point.tangential
                                                    : point.sagittal;
            line.add(box.x + box.side * static_cast<double>(s) / kMtfSamples,
                     box.y + box.side * (1.0 - value));
        }
    }
    canvas.textOut(box.x, box.y + box.side + kScaleStripHeight,
                   "0 .. " + fixed("%.0f", top) + "/mm");
    // The key, in the plot's top right corner.
    constexpr int kKeyLine = 12;
    constexpr int kKeyWidth = 44;
    const int keyX = box.x + box.side - kKeyWidth;
    int keyY = box.y + 4;
    for (const auto& [colour, label] : {std::pair{kTangentialColour, "T"},
                                        std::pair{kSagittalColour, "S"}, std::pair{kBlack, "DL"}}) {
        canvas.selectPen(1, colour);
        canvas.moveTo(keyX, keyY + kKeyLine / 2);
        canvas.lineTo(keyX + kKeyLine, keyY + kKeyLine / 2);
        canvas.textOut(keyX + kKeyLine + 4, keyY, label);
        keyY += kKeyLine + 2;
    }
}

} // namespace

std::array<std::string, 3> wavefrontNumberLines(const LineWavefront& line,
                                                const WavefrontWords& words) {
    const WavefrontNumbers& n = line.numbers;
    if (!n.measured) {
        return {words.noWavefront, "", ""};
    }
    std::string verdict = n.strehlBest >= kDiffractionLimitedStrehl ? words.verdict : "";
    return {"RMS " + fixed("%.3f", n.rms) + "λ  P-V " + fixed("%.3f", n.pv) + "λ  S " +
                fixed("%.3f", n.strehl),
            std::string(words.bestFocus) + " RMS " + fixed("%.3f", n.rmsBest) + "λ  S " +
                fixed("%.3f", n.strehlBest),
            fixed("%+.3f", line.focusShiftMm) + "mm  " + verdict};
}

int figureLine(const std::array<int, kSpotLineCount>& lineShown) {
    if (lineShown[WavelengthLine::d - 1] == 1) {
        return WavelengthLine::d;
    }
    for (size_t k = 0; k < kSpotLineCount; ++k) {
        if (lineShown[k] == 1) {
            return static_cast<int>(k) + 1;
        }
    }
    return 0;
}

WavefrontFigures computeWavefrontFigures(const SurfaceTable& table, const Settings& settings,
                                         const WavefrontRequest& request, double starWaves) {
    WavefrontFigures figures;
    WavefrontRequest withMtf = request;
    withMtf.withMtf = true;
    figures.set = measureWavefronts(table, settings, withMtf);
    figures.lineShown = request.lineShown;
    figures.line = figureLine(request.lineShown);
    figures.starWaves = starWaves;
    if (figures.line == 0 || !(figures.set.fNumber > 0.0)) {
        return figures;
    }
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        const LineWavefront& line =
            figures.set.panels[j].lines[static_cast<size_t>(figures.line - 1)];
        if (line.numbers.measured) {
            figures.psf[j] = pointSpread(line.map, request.side, figures.set.fNumber);
            figures.star[j] = starTest(line.map, request.side, figures.set.fNumber, starWaves);
        }
    }
    return figures;
}

void paintWavefrontFigures(Canvas& canvas, const WavefrontFigures& figures,
                           WavefrontPicture picture, PsfScale scale, int width, int height,
                           const WavefrontWords& words) {
    canvas.selectPen(1, kBlack);
    for (int j = 1; j < kSpotPanelCount; ++j) {
        const int x = j * (width / kSpotPanelCount);
        canvas.moveTo(x, 0);
        canvas.lineTo(x, height);
    }
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        const PanelWavefront& panel = figures.set.panels[j];
        const PanelBox box = panelBox(static_cast<int>(j), width, height);
        canvas.textOut(box.left + kPictureMargin, 2,
                       "h=" + fixed("%.1f", panel.height) + "mm  " +
                           fixed("%.3f", panel.fieldAngle * kDegreesPerRadian) + "°");
        if (figures.line == 0) {
            continue;
        }
        const LineWavefront& line = panel.lines[static_cast<size_t>(figures.line - 1)];
        if (line.numbers.measured) {
            switch (picture) {
            case WavefrontPicture::Wavefront:
                drawOpdMap(canvas, line.map, box);
                break;
            case WavefrontPicture::Psf:
                drawPsf(canvas, figures.psf[j], scale, box);
                break;
            case WavefrontPicture::Mtf:
                drawMtf(canvas, figures, panel, box);
                break;
            case WavefrontPicture::StarTest:
                drawStarTest(canvas, figures.star[j], figures.starWaves, box);
                break;
            }
        }
        int y = box.y + box.side + kScaleStripHeight + kTextLineHeight;
        for (const std::string& text : wavefrontNumberLines(line, words)) {
            canvas.textOut(box.left + kPictureMargin, y, text);
            y += kTextLineHeight;
        }
    }
}

} // namespace kiro
