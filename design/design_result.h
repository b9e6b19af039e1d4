#pragma once

#include "model/surface.h"

namespace kiro {

constexpr int kDesignMessageBytes = 256;

// Why a build failed. The core words it in Japanese (message, for kiro-cli); the desktop
// program words the code and its details in the user's language.
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
// with a failure: the build failed, the design is as it was, and message (UTF-8) says why.
struct DesignResult {
    bool ok = true;
    DesignFailure failure = DesignFailure::None;
    DesignFailureDetails details{};
    char message[kDesignMessageBytes] = {};
};

DesignResult designSucceeded();
DesignResult designRefused();
DesignResult designFailed(DesignFailure failure, const DesignFailureDetails& details = {});

// The label of both designers' type list.
constexpr const char* kDesignTypeListName = "望遠鏡の種類";

// The control's label in the designer dialogs ("第１ガラス材" ... "補正版のガラス材").
const char* glassControlName(GlassControl control);

} // namespace kiro
