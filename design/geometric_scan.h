#pragma once

#include <cmath>

namespace kiro {

// The tuning step every designer repeats: candidates(visit) offers values one by one by
// calling visit(value); each is set into its field and measured. A value is remembered
// only when its measure is strictly below best (so on ties the earlier value stays), and
// best follows it. Afterwards the field holds the remembered value, which starts as
// current (the field's value before the scan). stopAfter(measure) ends the scan early
// when it returns true; visit then returns false, and candidates must stop offering.
template <class Candidates, class SetField, class Measure, class StopAfter>
double scanForBest(double current, Candidates&& candidates, SetField&& setField, Measure&& measure,
                   double& best, StopAfter&& stopAfter) {
    double kept = current;
    candidates([&](double value) {
        setField(value);
        const double m = measure();
        if (m < best) {
            best = m;
            kept = value;
        }
        return !stopAfter(m);
    });
    setField(kept);
    return kept;
}

template <class Candidates, class SetField, class Measure>
double scanForBest(double current, Candidates&& candidates, SetField&& setField, Measure&& measure,
                   double& best) {
    return scanForBest(current, candidates, setField, measure, best, [](double) { return false; });
}

// The values valueAt(i) for i = first .. last.
template <class ValueAt> auto stepsFrom(int first, int last, ValueAt&& valueAt) {
    return [first, last, &valueAt](auto&& visit) {
        for (int i = first; i <= last; ++i) {
            if (!visit(valueAt(i))) {
                return;
            }
        }
    };
}

// The geometric scan of the reflecting designers: the values base * q^i for i = first ..
// last. Scans are chained by passing the returned value as the next base, with the same
// best.
template <class SetField, class Measure, class StopAfter>
double geometricScan(double current, double base, double q, int first, int last,
                     SetField&& setField, Measure&& measure, double& best, StopAfter&& stopAfter) {
    return scanForBest(current,
                       stepsFrom(first, last, [&](int i) { return base * std::pow(q, i); }),
                       setField, measure, best, stopAfter);
}

template <class SetField, class Measure>
double geometricScan(double current, double base, double q, int first, int last,
                     SetField&& setField, Measure&& measure, double& best) {
    return geometricScan(current, base, q, first, last, setField, measure, best,
                         [](double) { return false; });
}

} // namespace kiro
