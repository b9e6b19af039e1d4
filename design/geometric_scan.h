#pragma once

#include <cmath>

namespace kiro {

// One-dimensional tuning step of the reflecting designers: for i = first .. last the field
// is set to base * q^i and the measure evaluated; a value is remembered only when its
// measure is strictly below best (so on ties the earlier value stays), and best follows
// it. Afterwards the field holds the remembered value, which starts as current (the
// field's value before the scan). stopAfter(measure) ends the scan early when it returns
// true. Scans are chained by passing the returned value as the next base, with the same
// best.
template <class SetField, class Measure, class StopAfter>
double geometricScan(double current, double base, double q, int first, int last,
                     SetField&& setField, Measure&& measure, double& best, StopAfter&& stopAfter) {
    double kept = current;
    for (int i = first; i <= last; ++i) {
        const double value = base * std::pow(q, i);
        setField(value);
        const double m = measure();
        if (m < best) {
            best = m;
            kept = value;
        }
        if (stopAfter(m)) {
            break;
        }
    }
    setField(kept);
    return kept;
}

template <class SetField, class Measure>
double geometricScan(double current, double base, double q, int first, int last,
                     SetField&& setField, Measure&& measure, double& best) {
    return geometricScan(current, base, q, first, last, setField, measure, best,
                         [](double) { return false; });
}

} // namespace kiro
