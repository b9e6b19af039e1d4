#include "presenters/optimize_summary.h"

#include <cinttypes>

#include "model/c_numbers.h"

namespace kiro {

std::string passReportLine(const PassReport& report) {
    char line[256];
    snprintfC(line, sizeof line,
              "pass %d range %g merit %.17g -> %.17g candidates %" PRId64 " seconds %.3f\n",
              report.pass, report.rangePercent, report.meritBefore, report.meritAfter,
              report.candidates, report.seconds);
    return line;
}

std::string progressLine(const OptimizeProgress& progress, double elapsedSeconds) {
    const double total = static_cast<double>(progress.total) * progress.passCount;
    const double done = static_cast<double>(progress.total) * (progress.pass - 1) +
                        static_cast<double>(progress.done);
    char left[32] = "-";
    if (done > 0.0 && total >= done && elapsedSeconds >= 0.0) {
        snprintfC(left, sizeof left, "%.0fs", elapsedSeconds * (total - done) / done);
    }
    char line[160];
    snprintfC(line, sizeof line,
              "pass %d/%d candidates %" PRId64 "/%" PRId64 " elapsed %.0fs left %s", progress.pass,
              progress.passCount, progress.done, progress.total, elapsedSeconds, left);
    return line;
}

OptimizeTotals optimizeTotals(const std::vector<PassReport>& passes) {
    OptimizeTotals totals;
    if (passes.empty()) {
        return totals;
    }
    totals.passes = static_cast<int>(passes.size());
    totals.meritBefore = passes.front().meritBefore;
    totals.meritAfter = passes.back().meritAfter;
    for (const PassReport& pass : passes) {
        totals.candidates += pass.candidates;
        totals.seconds += pass.seconds;
    }
    return totals;
}

} // namespace kiro
