#pragma once

namespace kiro {

constexpr int kDesignMessageBytes = 256;

// Outcome of a designer's OK or of one builder. ok: the design was replaced. Not ok with
// an empty message: the inputs were refused without a word (the dialog stays open). Not
// ok with a message: the build failed, the design is as it was, and the message (UTF-8,
// for the error box) says why.
struct DesignResult {
    bool ok = true;
    char message[kDesignMessageBytes] = {};
};

DesignResult designSucceeded();
DesignResult designRefused();
// printf-style message.
DesignResult designFailed(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kiro
