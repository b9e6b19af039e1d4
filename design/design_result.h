#pragma once

#include "model/surface.h"

namespace kiro {

// Why a build failed: a code and its details, which the desktop program and kiro-cli word
// in their own language.
enum class DesignFailure {
    None,                   // built, or the inputs were refused without a word
    TypeNotChosen,          // the type list has no selection
    GlassNotChosen,         // details.control
    UnusableLine,           // the reference line is not C..h
    GlassIndexNotAboveOne,  // details.control, details.glass, details.glassName
    UnusableSize,           // aperture or focal length not above 0
    NoTwoMirrorSolution,    // details.aperture, focalLength, ratio, backFocus
    NoSchmidtCorrector,     // details.aperture, focalLength
    UntraceableFocalLength, // the designed objective's focal length could not be traced
};

// The designer control whose glass a failure names.
enum class GlassControl { Glass1, Glass2, Glass3, Corrector };

struct DesignFailureDetails {
    GlassControl control = GlassControl::Glass1;
    int glass = -1;                  // catalogue position
    char glassName[kNameBytes] = {}; // as the catalogue holds it; empty when it has none
    double aperture = 0.0;
    double focalLength = 0.0;
    double ratio = 0.0;
    double backFocus = 0.0;
};

// Outcome of a designer's OK or of one builder. ok: the design was replaced. Not ok with
// failure None: the inputs were refused without a word (the dialog stays open). Not ok
// with a failure: the build failed, the design is as it was, and the failure says why.
struct DesignResult {
    bool ok = true;
    DesignFailure failure = DesignFailure::None;
    DesignFailureDetails details{};
};

DesignResult designSucceeded();
DesignResult designRefused();
DesignResult designFailed(DesignFailure failure, const DesignFailureDetails& details = {});

} // namespace kiro
