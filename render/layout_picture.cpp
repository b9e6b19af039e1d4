#include "render/layout_picture.h"

#include "analysis/layout_view.h"

namespace kiro {

PaintFunction layoutPainter(const LensSystem& lens, int width, int height) {
    LayoutView view;
    updateLayoutView(view, lens.surfaces, LayoutMode::Fit, width, height, width, height);
    return
        [&lens, view](Canvas& canvas) { drawLayout(canvas, view, lens.surfaces, lens.settings); };
}

} // namespace kiro
