#pragma once

#include <string>

#include "model/lens_system.h"

namespace kiro {

// The words of the information text around its numbers. The program's own are Japanese;
// the desktop program passes the user's language.
struct InformationWords {
    const char* heading;       // "情報表示"
    const char* focusPosition; // "焦点位置(d線)"
    const char* focalLength;   // "焦点距離(d線)"
    const char* diameter;      // "有効径"
    const char* fNumber;       // "F値"
    const char* noData;        // "データがありません"
};

extern const InformationWords kInformationWords;

// The first-order summary of the design on the d line, as UTF-8 text of seven lines
// without a final line break: the focus position (mean of the zones 0.15 r, 0.5 r and
// 0.85 r), the near-axis focal length, the effective diameter 2 r and the F-number.
// The words' noData alone when the table is empty. A value that does not exist (infinite
// or not a number: parallel final rays, r = 0) prints as "-", and a value that rounds to
// zero prints without a minus sign.
std::string buildInformationText(const SurfaceTable& table, const Settings& settings, double r,
                                 const InformationWords& words = kInformationWords);

// The focal length the text shows: the zone r/1000, on the d line, through mirrors and
// lenses only.
double nearAxisFocalLength(const SurfaceTable& table, const Settings& settings, double r);

// The F-number the text shows: the near-axis focal length over the diameter 2 r.
double informationFNumber(const SurfaceTable& table, const Settings& settings, double r);

} // namespace kiro
