#pragma once

#include <string_view>

#include "model/int_conversion.h"

namespace kiro {

// A colour as red, green, blue (0..255 each).
struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend constexpr bool operator==(Colour, Colour) = default;
};

constexpr Colour kBlack{0, 0, 0};

// The drawing seam between the analyses and whatever paints them (a window, a picture
// file, a recorded primitive list). Pixels are canvas pixels, the row growing downwards;
// pens are solid. Text is UTF-8 and is placed with its top-left corner at (x, y).
class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void selectPen(int width, Colour colour) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    virtual void setPixel(int x, int y, Colour colour) = 0;
    virtual void textOut(int x, int y, std::string_view utf8) = 0;
};

// Coordinates are kept within this many pixels of the origin before painting: a painter
// given huge coordinates draws garbage, and nothing that far out can be seen anyway.
constexpr int kPixelLimit = 1000000;

// A double becomes a pixel coordinate by dropping its fraction. False (and pixel left
// alone) when the value is NaN, infinite or outside the int range, where the conversion
// itself would be undefined; otherwise the result is clamped to +-kPixelLimit.
bool toPixel(double value, int& pixel);

// Draws a polyline point by point: the first point that converts is a move-to, the later
// ones line-tos. A point that does not convert is skipped and the line goes on from the
// last point drawn.
class Polyline {
  public:
    explicit Polyline(Canvas& canvas) : canvas_(canvas) {}
    void add(double x, double y);
    bool started() const { return started_; }
    // Ends the current stroke: the next point is a move-to (a gap in a curve).
    void lift() { started_ = false; }

  private:
    Canvas& canvas_;
    bool started_ = false;
};

// One straight line between two points; nothing when either end does not convert.
void drawLine(Canvas& canvas, double x0, double y0, double x1, double y1);

} // namespace kiro
