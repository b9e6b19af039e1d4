#pragma once

#include "model/lens_system.h"
#include "render/qt_canvas.h"

namespace kiro {

// The side view of lens fitted to a width x height picture, as the main window draws it
// after a fit: kiro-cli's render layout and the window's picture export both paint this.
// The function refers to lens, which must outlive it.
PaintFunction layoutPainter(const LensSystem& lens, int width, int height);

} // namespace kiro
