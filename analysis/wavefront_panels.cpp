#include "analysis/wavefront_panels.h"

#include <cmath>
#include <span>

#include "analysis/information_text.h"
#include "analysis/spot_rays.h"

namespace kiro {

WavefrontSet measureWavefronts(const SurfaceTable& table, const Settings& settings,
                               const WavefrontRequest& request) {
    WavefrontSet set;
    const double fNumber = informationFNumber(table, settings, apertureRadius(table));
    set.fNumber = fNumber > 0.0 && std::isfinite(fNumber) ? fNumber : 0.0;
    SpotPanels panels;
    set.focused = prepareSpotPanels(table, settings, request.heights, panels);
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        PanelWavefront& panel = set.panels[j];
        panel.height = request.heights[j];
        panel.fieldAngle = panels.fieldAngle[j];
        if (!set.focused || !panels.ready[j]) {
            continue;
        }
        for (size_t k = 0; k < kSpotLineCount; ++k) {
            if (request.lineShown[k] != 1) {
                continue;
            }
            LineWavefront& line = panel.lines[k];
            if (!tracePupilMap(table, panels.beam[j], static_cast<int>(k) + 1, request.grid,
                               line.map)) {
                continue;
            }
            panel.ready = true;
            line.numbers = wavefrontNumbers(line.map);
            line.focusShiftMm =
                focusShiftMm(line.numbers.defocusWaves, line.map.wavelengthMm, set.fNumber);
            if (request.withMtf && line.numbers.measured && set.fNumber > 0.0) {
                line.mtf = mtfOf(line.map, request.side, set.fNumber);
                line.limit = mtfOf(aberrationFree(line.map), request.side, set.fNumber);
            }
        }
    }
    return set;
}

MtfPoint panelMtf(const PanelWavefront& panel, const std::array<int, kSpotLineCount>& shown,
                  double cyclesPerMm, bool limit) {
    // Pointers, not copies: the MTF plot asks this for every sample it draws.
    std::array<const MtfCurve*, kSpotLineCount> curves{};
    size_t count = 0;
    for (size_t k = 0; k < kSpotLineCount; ++k) {
        if (shown[k] == 1 && panel.lines[k].numbers.measured) {
            curves[count++] = limit ? &panel.lines[k].limit : &panel.lines[k].mtf;
        }
    }
    return meanMtf(std::span(curves.data(), count), cyclesPerMm);
}

} // namespace kiro
