#include "presenters/seidel_table.h"

#include "model/c_numbers.h"

namespace kiro {

std::array<double, 7> seidelColumns(const SeidelTerms& t) {
    return {t.si, t.sii, t.siii, t.siv, t.sv, t.cl, t.ct};
}

std::array<double, 5> wavefrontValues(const WavefrontCoefficients& w) {
    return {w.w040, w.w131, w.w222, w.w220, w.w311};
}

std::string seidelTableText(const SeidelSums& sums, const SeidelTextForm& form) {
    std::string text;
    if (form.header) {
        text = "row";
        for (const char* column : kSeidelColumns) {
            text += form.separator;
            text += column;
        }
        text += '\n';
    }
    const auto appendRow = [&](const std::string& name, const SeidelTerms& terms) {
        text += name;
        for (const double value : seidelColumns(terms)) {
            text += form.separator;
            text += formatShownC(form.numberFormat, value);
        }
        text += '\n';
    };
    for (int i = 0; i < sums.rows; ++i) {
        appendRow(std::to_string(i), sums.perRow[static_cast<size_t>(i)]);
    }
    appendRow("sum", sums.total);
    const auto values = wavefrontValues(sums.waves);
    for (size_t k = 0; k < values.size(); ++k) {
        text += kWavefrontNames[k];
        text += form.separator;
        text += formatShownC(form.numberFormat, values[k]);
        text += '\n';
    }
    return text;
}

} // namespace kiro
