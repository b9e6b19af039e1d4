#pragma once

#include <array>
#include <cstdint>

#include "model/surface.h"

namespace kiro {

// The colour a line's dots and curves are drawn in.
struct LineColour {
    uint8_t red, green, blue;
};

// One of the six Fraunhofer lines a design is traced at.
struct FraunhoferLine {
    int slot;                     // its index slot in Surface::index (WavelengthLine)
    char letter;                  // Fraunhofer letter, as menus and kiro-cli name it
    double wavelengthMicrometres; // used by the diffraction figures
    const char* label;            // letter and wavelength, as the dialogs show them
    LineColour colour;
};

constexpr int kFraunhoferLineCount = 6;

inline constexpr std::array<FraunhoferLine, kFraunhoferLineCount> kFraunhoferLines{{
    {WavelengthLine::C, 'C', 0.6562725, "C(656.3nm)", {255, 64, 64}},
    {WavelengthLine::d, 'd', 0.5875618, "d(587.6nm)", {192, 192, 0}},
    {WavelengthLine::e, 'e', 0.5460740, "e(546.1nm)", {32, 192, 32}},
    {WavelengthLine::F, 'F', 0.4861327, "F(486.1nm)", {64, 192, 255}},
    {WavelengthLine::g, 'g', 0.4358343, "g(435.8nm)", {64, 64, 192}},
    {WavelengthLine::h, 'h', 0.4046561, "h(404.7nm)", {32, 32, 128}},
}};

// The line in an index slot; null for the slots that carry glass data only.
constexpr const FraunhoferLine* fraunhoferLineAt(int slot) {
    for (const FraunhoferLine& line : kFraunhoferLines) {
        if (line.slot == slot) {
            return &line;
        }
    }
    return nullptr;
}

static_assert(kFraunhoferLines.front().slot == WavelengthLine::First &&
              kFraunhoferLines.back().slot == WavelengthLine::Last);

} // namespace kiro
