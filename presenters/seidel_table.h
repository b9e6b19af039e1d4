#pragma once

#include <array>
#include <string>

#include "analysis/seidel_sums.h"

namespace kiro {

// How the table is written: the dialog copies it for a spreadsheet (a header, tabs, six
// digits); kiro-cli prints records (no header, blanks, every digit).
struct SeidelTextForm {
    const char* numberFormat = "%.6g"; // one double, printed in the C locale
    char separator = '\t';
    bool header = true;
};
inline constexpr SeidelTextForm kSeidelRecords{"%.17g", ' ', false};

// The Seidel sums as text: a line per row (row number, S_I ... C_T), the sums ("sum"),
// then the wavefront coefficients in waves of the d line (name and value).
std::string seidelTableText(const SeidelSums& sums, const SeidelTextForm& form = {});

// The column titles after the row number.
inline constexpr const char* kSeidelColumns[] = {"SI", "SII", "SIII", "SIV", "SV", "CL", "CT"};
inline constexpr const char* kWavefrontNames[] = {"W040", "W131", "W222", "W220", "W311"};

// The terms in column order, and the coefficients in name order.
std::array<double, 7> seidelColumns(const SeidelTerms& terms);
std::array<double, 5> wavefrontValues(const WavefrontCoefficients& waves);

} // namespace kiro
