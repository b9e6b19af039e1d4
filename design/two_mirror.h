#pragma once

namespace kiro {

// A two-mirror (Cassegrain form) layout: the secondary stands s in front of the primary
// of radius r1.
struct TwoMirror {
    bool solved = false;
    double s = 0.0;
    double r1 = 0.0;
};

// Both searches of the solver give up after this many steps each.
constexpr int kTwoMirrorStepLimit = 100000;

// Mirror separation and primary radius of a system of focal length f whose secondary
// has radius k * r1 and whose focus lies b behind the primary. solved is false when the
// inputs admit no such system (the search did not converge within its step limit, or
// the numbers are not finite); s and r1 are then not to be used.
TwoMirror solveTwoMirror(double aperture, double f, double b, double k);

// Back-focus error f (1 - 2 s / r1(s)) - s - b of a separation s.
double twoMirrorBackFocusError(double f, double b, double k, double s);

} // namespace kiro
