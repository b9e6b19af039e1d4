#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "design/optimizer.h"

namespace kiro {

// The line kiro-cli optimize prints after each pass, with a final line break:
// "pass 1 range 5 merit A -> B candidates N seconds S"; the desktop's summary shows the
// same lines, so that both can be compared number for number.
std::string passReportLine(const PassReport& report);

// The passes taken together: the merit before the first and after the last, the
// candidates tried and the seconds taken. All zero without a pass.
struct OptimizeTotals {
    int passes = 0;
    double meritBefore = 0.0;
    double meritAfter = 0.0;
    int64_t candidates = 0;
    double seconds = 0.0;
};
OptimizeTotals optimizeTotals(const std::vector<PassReport>& passes);

// The progress of a run for a terminal, without a line break: "pass 2/3 candidates
// 1200/3125 elapsed 12s left 31s". Every pass tries as many candidates, so the estimate
// is the time so far spread over the candidates of all passes; "left -" until one is done.
std::string progressLine(const OptimizeProgress& progress, double elapsedSeconds);

} // namespace kiro
