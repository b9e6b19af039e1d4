#pragma once

#include <functional>

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QPolygon>
#include <QString>

#include "analysis/canvas.h"

class QPainter;

namespace kiro {

// Paints the analyses with QPainter on a widget, an image, an SVG or a PDF page (the
// canvas prepares the painter with preparePainter when it is made): aliased
// solid pens 1 or 2 pixels wide, single pixels, text in the default font (Japanese glyphs
// come from a Japanese font through the font fallback). A zero-length line-to draws
// nothing, as the drawings expect of a line to the current point.
//
// Runs of single pixels of one colour are painted together before the next other
// primitive, so the drawing order stays: on pixel devices (images, widgets) as points,
// which is fast enough for a spot diagram's tens of thousands of dots; on vector devices
// as one filled path (an SVG of a spot diagram would otherwise hold one element per dot).
// Call flush() or destroy the canvas before the painter ends.
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
    bool pixelDevice_ = false;
    QPolygon points_;     // the run of pixels on a pixel device
    QPainterPath pixels_; // the run of pixels on a vector device
    Colour pixelColour_{};
};

// Text height of the canvases, in pixels, the same on every device.
constexpr int kCanvasFontPixels = 12;

// Sets a painter up as the canvases expect: no antialiasing, the canvas font.
void preparePainter(QPainter& painter);

using PaintFunction = std::function<void(Canvas&)>;

// Paints a w x h picture with painter: a white background, then paint through a QtCanvas.
// Windows and picture files both go through here, so that they show the same pixels.
void paintPicture(QPainter& painter, int w, int h, const PaintFunction& paint);

// A w x h picture on a white background. The encoders give the file's bytes; an empty
// array means the picture could not be made.
QImage paintImage(int w, int h, const PaintFunction& paint);
QByteArray encodePng(int w, int h, const PaintFunction& paint);
QByteArray encodeSvg(int w, int h, const PaintFunction& paint);
QByteArray encodePdf(int w, int h, const PaintFunction& paint);

enum class PictureFormat { Png, Svg, Pdf };

// The format a file name's extension asks for (.png, .svg or .pdf, in any case).
std::optional<PictureFormat> pictureFormatOf(const QString& path);

QByteArray encodePicture(PictureFormat format, int w, int h, const PaintFunction& paint);

} // namespace kiro
