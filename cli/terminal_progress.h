#pragma once

#include <chrono>

#include "design/optimizer.h"

namespace kiro::cli {

// A long optimization's progress on stderr, rewritten in place about twice a second, when
// stderr is a terminal and the user did not ask for quiet; stdout never sees it.
class TerminalProgress {
  public:
    explicit TerminalProgress(bool quiet);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool active() const { return active_; }
    void show(const OptimizeProgress& progress);
    // Takes the line away (before a line on stdout, and at the end).
    void clear();

  private:
    bool active_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_;
};

} // namespace kiro::cli
