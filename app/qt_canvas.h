#pragma once

#include <functional>

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QPoint>

#include "analysis/canvas.h"

class QPainter;

namespace kiro {

// Paints the analyses with QPainter on a widget, an image, an SVG or a PDF page (the
// canvas prepares the painter with preparePainter when it is made): aliased
// solid pens 1 or 2 pixels wide, single pixels, text in the default font (Japanese glyphs
// come from a Japanese font through the font fallback). A zero-length line-to draws
// nothing, as the drawings expect of a line to the current point.
//
// Runs of single pixels of one colour are filled as one path (an SVG of a spot diagram
// would otherwise hold one element per dot); the run is painted before the next other
// primitive, so the drawing order stays. Call flush() or destroy the canvas before the
// painter ends.
class QtCanvas final : public Canvas {
  public:
    explicit QtCanvas(QPainter& painter);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    void selectPen(int width, Colour colour) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setPixel(int x, int y, Colour colour) override;
    void textOut(int x, int y, std::string_view utf8) override;
    void flush();

  private:
    QPainter& painter_;
    QPoint current_;
    int ascent_ = 0;
    QPainterPath pixels_;
    Colour pixelColour_{};
};

// Text height of the canvases, in pixels, the same on every device.
constexpr int kCanvasFontPixels = 12;

// Sets a painter up as the canvases expect: no antialiasing, the canvas font.
void preparePainter(QPainter& painter);

using PaintFunction = std::function<void(Canvas&)>;

// A w x h picture on a white background. The encoders give the file's bytes; an empty
// array means the picture could not be made.
QImage paintImage(int w, int h, const PaintFunction& paint);
QByteArray encodePng(int w, int h, const PaintFunction& paint);
QByteArray encodeSvg(int w, int h, const PaintFunction& paint);
QByteArray encodePdf(int w, int h, const PaintFunction& paint);

} // namespace kiro
