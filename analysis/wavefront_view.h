#pragma once

#include <array>

#include "analysis/canvas.h"
#include "analysis/point_spread.h"
#include "analysis/wavefront_panels.h"

// The pictures of the wavefront dialog, drawn through the canvas so that the window and
// kiro-cli draw the same: three panels side by side, each a picture of the figure line
// with its numbers underneath.
namespace kiro {

enum class WavefrontPicture { Wavefront, Psf, Mtf, StarTest };

// The dialog's client area, which kiro-cli renders unless told otherwise.
constexpr int kWavefrontDialogWidth = 720;
constexpr int kWavefrontDialogHeight = 340;

// The largest pupil grid the pictures are made for: their 2-D transforms take (4 N)^2
// complex numbers each, nine of them at a time.
constexpr int kMaxFigureGrid = 256;

// Everything the pictures show, computed off the window's thread.
struct WavefrontFigures {
    WavefrontSet set;
    std::array<int, kSpotLineCount> lineShown{};
    int line = 0; // the line of the maps, PSFs and star tests: d when shown, else the first
    double starWaves = kDefaultStarTestWaves;
    std::array<PointSpread, kSpotPanelCount> psf{};
    std::array<StarTest, kSpotPanelCount> star{};
};

// The line the figures are drawn at; 0 when no line is shown.
int figureLine(const std::array<int, kSpotLineCount>& lineShown);

WavefrontFigures computeWavefrontFigures(const SurfaceTable& table, const Settings& settings,
                                         const WavefrontRequest& request, double starWaves);

// The words of the pictures; the program's own are Japanese.
struct WavefrontWords {
    const char* verdict;     // "回折限界"
    const char* bestFocus;   // "最良焦点"
    const char* noWavefront; // "波面なし"
};
extern const WavefrontWords kWavefrontWords;

enum class PsfScale { Linear, Logarithmic };

void paintWavefrontFigures(Canvas& canvas, const WavefrontFigures& figures,
                           WavefrontPicture picture, PsfScale scale, int width, int height,
                           const WavefrontWords& words = kWavefrontWords);

// The numbers under a panel: as is, at best focus (with the verdict), as three lines.
std::array<std::string, 3> wavefrontNumberLines(const LineWavefront& line,
                                                const WavefrontWords& words);

} // namespace kiro
