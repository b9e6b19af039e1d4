#include "analysis/recording_canvas.h"

#include <charconv>

namespace kiro {

void RecordingCanvas::appendNumbers(std::initializer_list<int> numbers) {
    char buffer[16];
    for (int n : numbers) {
        text_ += ' ';
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
        text_.append(buffer, result.ptr);
    }
}

void RecordingCanvas::selectPen(int width, Colour colour) {
    text_ += "pen";
    appendNumbers({width, colour.red, colour.green, colour.blue});
    text_ += '\n';
}

void RecordingCanvas::moveTo(int x, int y) {
    text_ += "move";
    appendNumbers({x, y});
    text_ += '\n';
}

void RecordingCanvas::lineTo(int x, int y) {
    text_ += "line";
    appendNumbers({x, y});
    text_ += '\n';
}

void RecordingCanvas::setPixel(int x, int y, Colour colour) {
    text_ += "pixel";
    appendNumbers({x, y, colour.red, colour.green, colour.blue});
    text_ += '\n';
}

void RecordingCanvas::textOut(int x, int y, std::string_view utf8) {
    text_ += "text";
    appendNumbers({x, y});
    text_ += ' ';
    text_ += utf8;
    text_ += '\n';
}

} // namespace kiro
