#pragma once

#include <functional>

#include <QSize>
#include <QString>

#include "render/qt_canvas.h"

class QPrinter;
class QWidget;

namespace kiro::app {

// Prints a picture through Qt's print preview: scaled to the page with its proportions
// kept, under a caption (the design's description and file name).
void printPicture(QWidget* owner, const QString& caption, QSize size, const PaintFunction& paint);

// What printPicture sends to the printer; a PDF printer gives the same page.
void paintPrintedPage(QPrinter& printer, const QString& caption, QSize size,
                      const PaintFunction& paint);

// Tests: receives the printer instead of the print preview; an empty function brings the
// preview back.
using PrinterAnswerer = std::function<void(QPrinter& printer)>;
void setPrinterAnswerer(PrinterAnswerer answerer);

} // namespace kiro::app
