#include "render/qt_canvas.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QString>
#include <QSvgGenerator>

namespace kiro {

namespace {

// Pictures are laid out in pixels of a 96 dpi screen; vector pages use the same unit.
constexpr int kPixelsPerInch = 96;
constexpr double kPointsPerInch = 72.0;

QColor toQColor(Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter) {
    preparePainter(painter_);
    ascent_ = QFontMetrics(painter_.font()).ascent();
    pixelDevice_ =
        painter_.paintEngine() != nullptr && painter_.paintEngine()->type() == QPaintEngine::Raster;
    // Dots drawn twice must stay filled.
    pixels_.setFillRule(Qt::WindingFill);
}

QtCanvas::~QtCanvas() {
    flush();
}

void QtCanvas::flush() {
    if (!points_.isEmpty()) {
        const QPen pen = painter_.pen();
        painter_.setPen(QPen(toQColor(pixelColour_), 1));
        painter_.drawPoints(points_);
        painter_.setPen(pen);
        points_.clear();
    }
    if (pixels_.isEmpty()) {
        return;
    }
    painter_.fillPath(pixels_, toQColor(pixelColour_));
    pixels_.clear();
    pixels_.setFillRule(Qt::WindingFill);
}

void QtCanvas::selectPen(int width, Colour colour) {
    flush();
    painter_.setPen(QPen(toQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void QtCanvas::moveTo(int x, int y) {
    current_ = QPoint(x, y);
}

void QtCanvas::lineTo(int x, int y) {
    flush();
    const QPoint next(x, y);
    if (next != current_) {
        painter_.drawLine(current_, next);
    }
    current_ = next;
}

void QtCanvas::setPixel(int x, int y, Colour colour) {
    if (colour != pixelColour_) {
        flush();
        pixelColour_ = colour;
    }
    if (pixelDevice_) {
        points_.append(QPoint(x, y));
    } else {
        pixels_.addRect(x, y, 1, 1);
    }
}

void QtCanvas::textOut(int x, int y, std::string_view utf8) {
    flush();
    const QPen pen = painter_.pen();
    painter_.setPen(Qt::black);
    painter_.drawText(QPoint(x, y + ascent_),
                      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    painter_.setPen(pen);
}

void preparePainter(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    QFont font = painter.font();
    font.setPixelSize(kCanvasFontPixels);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
}

void paintPicture(QPainter& painter, int w, int h, const PaintFunction& paint) {
    painter.fillRect(0, 0, w, h, Qt::white);
    QtCanvas canvas(painter);
    paint(canvas);
    canvas.flush();
}

QImage paintImage(int w, int h, const PaintFunction& paint) {
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    QPainter painter(&image);
    paintPicture(painter, w, h, paint);
    return image;
}

QByteArray encodePng(int w, int h, const PaintFunction& paint) {
    const QImage image = paintImage(w, h, paint);
    QByteArray bytes;
    if (image.isNull()) {
        return bytes;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        bytes.clear();
    }
    return bytes;
}

QByteArray encodeSvg(int w, int h, const PaintFunction& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(w, h));
    generator.setViewBox(QRect(0, 0, w, h));
    generator.setResolution(kPixelsPerInch);
    QPainter painter;
    if (!painter.begin(&generator)) {
        return {};
    }
    paintPicture(painter, w, h, paint);
    painter.end();
    return bytes;
}

QByteArray encodePdf(int w, int h, const PaintFunction& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPixelsPerInch);
    const QSizeF points(w * kPointsPerInch / kPixelsPerInch, h * kPointsPerInch / kPixelsPerInch);
    writer.setPageLayout(
        QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return {};
    }
    paintPicture(painter, w, h, paint);
    painter.end();
    return bytes;
}

std::optional<PictureFormat> pictureFormatOf(const QString& path) {
    const QString name = path.toLower();
    if (name.endsWith(QStringLiteral(".png"))) {
        return PictureFormat::Png;
    }
    if (name.endsWith(QStringLiteral(".svg"))) {
        return PictureFormat::Svg;
    }
    if (name.endsWith(QStringLiteral(".pdf"))) {
        return PictureFormat::Pdf;
    }
    return std::nullopt;
}

QByteArray encodePicture(PictureFormat format, int w, int h, const PaintFunction& paint) {
    switch (format) {
    case PictureFormat::Png:
        return encodePng(w, h, paint);
    case PictureFormat::Svg:
        return encodeSvg(w, h, paint);
    case PictureFormat::Pdf:
        return encodePdf(w, h, paint);
    }
    return {};
}

} // namespace kiro
