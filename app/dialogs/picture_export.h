#pragma once

#include <functional>

#include <QSize>
#include <QString>

#include "render/qt_canvas.h"

class QWidget;

namespace kiro::app {

// Asks the user where to save a picture, offering suggestedName; an empty result cancels.
using PictureFileAsker = std::function<QString(QWidget* owner, const QString& suggestedName)>;

// Tests: answer the question with this function instead of the file dialog; an empty
// function brings the file dialog back.
void setPictureFileAsker(PictureFileAsker asker);

// Writes the picture of paint at size to path, in the format the path's extension names
// (.png, .svg or .pdf), replacing the file in one step. False, with the error box shown,
// when the extension names no format or the file cannot be made.
bool writePicture(QWidget* owner, const QString& path, QSize size, const PaintFunction& paint);

// Asks for a file name and writes the picture there; nothing when the user cancels.
void savePictureAs(QWidget* owner, const QString& suggestedName, QSize size,
                   const PaintFunction& paint);

} // namespace kiro::app
