#include "cli/terminal_progress.h"

#include <cstdio>

#include <unistd.h>

#include "presenters/optimize_summary.h"

namespace kiro::cli {
namespace {

constexpr std::chrono::milliseconds kShowEvery{500};

} // namespace

TerminalProgress::TerminalProgress(bool quiet)
    : active_(!quiet && isatty(fileno(stderr)) != 0), start_(std::chrono::steady_clock::now()),
      lastShown_(start_ - kShowEvery) {}

TerminalProgress::~TerminalProgress() {
    clear();
}

void TerminalProgress::clear() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
}

void TerminalProgress::show(const OptimizeProgress& progress) {
    const auto now = std::chrono::steady_clock::now();
    if (!active_ || now - lastShown_ < kShowEvery) {
        return;
    }
    lastShown_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "\r\033[K%s", progressLine(progress, elapsed).c_str());
    std::fflush(stderr);
    shown_ = true;
}

} // namespace kiro::cli
