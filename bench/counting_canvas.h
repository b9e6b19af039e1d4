#pragma once

#include <string_view>

#include "analysis/canvas.h"

namespace kiro {

// Counts what a paint draws, so that the figures are those of the analyses alone.
class CountingCanvas final : public Canvas {
  public:
    void selectPen(int, Colour) override { ++count; }
    void moveTo(int, int) override { ++count; }
    void lineTo(int, int) override { ++count; }
    void setPixel(int, int, Colour) override { ++count; }
    void textOut(int, int, std::string_view) override { ++count; }
    long count = 0;
};

} // namespace kiro
