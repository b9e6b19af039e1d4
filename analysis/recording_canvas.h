#pragma once

#include <string>
#include <string_view>

#include "analysis/canvas.h"

namespace kiro {

// Records every primitive as one text line, in drawing order:
//   pen W R G B / move X Y / line X Y / pixel X Y R G B / text X Y STRING
// This is the picture in a form that tests and scripts can compare exactly.
class RecordingCanvas final : public Canvas {
  public:
    void selectPen(int width, Colour colour) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void setPixel(int x, int y, Colour colour) override;
    void textOut(int x, int y, std::string_view utf8) override;

    const std::string& text() const { return text_; }
    void clear() { text_.clear(); }

  private:
    void appendNumbers(std::initializer_list<int> numbers);
    std::string text_;
};

} // namespace kiro
