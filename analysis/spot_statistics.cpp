#include "analysis/spot_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "analysis/information_text.h"
#include "model/c_numbers.h"
#include "model/fraunhofer_lines.h"

namespace kiro {

namespace {

// First dark ring of a circular aperture's diffraction pattern, in units of lambda N.
constexpr double kAiryFactor = 1.22;

// Radii from a million micrometres (a metre) on are shown in powers of ten.
constexpr double kLargestFixedPointRadius = 1.0e6;

bool isFinite(const SpotOffset& offset) {
    return std::isfinite(offset.a) && std::isfinite(offset.b);
}

// The spread of a set of landings, gathered in two passes over them: the first finds the
// centroid, the second the radii about it. Landings that are not finite (no arrival) do
// not count.
struct SpreadAccumulator {
    int rays = 0;
    double sumA = 0.0, sumB = 0.0;
    double centreA = 0.0, centreB = 0.0;
    double sumSquares = 0.0, largestSquare = 0.0;

    void addPoint(const SpotOffset& offset) {
        if (isFinite(offset)) {
            ++rays;
            sumA += offset.a;
            sumB += offset.b;
        }
    }
    void findCentre() {
        if (rays != 0) {
            centreA = sumA / rays;
            centreB = sumB / rays;
        }
    }
    void addSquare(const SpotOffset& offset) {
        if (isFinite(offset)) {
            const double da = offset.a - centreA;
            const double db = offset.b - centreB;
            const double square = da * da + db * db;
            sumSquares += square;
            largestSquare = std::max(largestSquare, square);
        }
    }
    SpotSpread spread() const {
        SpotSpread result;
        result.rays = rays;
        if (rays == 0) {
            return result;
        }
        // Adding zero turns a centroid of -0 into 0.
        result.centroidA = centreA * kMicrometresPerMillimetre + 0.0;
        result.centroidB = centreB * kMicrometresPerMillimetre + 0.0;
        result.rmsRadius = std::sqrt(sumSquares / rays) * kMicrometresPerMillimetre;
        result.geoRadius = std::sqrt(largestSquare) * kMicrometresPerMillimetre;
        result.measured = std::isfinite(result.centroidA) && std::isfinite(result.centroidB) &&
                          std::isfinite(result.rmsRadius) && std::isfinite(result.geoRadius);
        if (!result.measured) {
            // Sums that overflowed leave no numbers, never an infinity or a NaN.
            result = SpotSpread{};
            result.rays = rays;
        }
        return result;
    }
};

// forEach(visit) calls visit(offset) for each landing of the set.
template <class ForEach> SpotSpread spreadOf(ForEach&& forEach) {
    SpreadAccumulator spread;
    forEach([&](const SpotOffset& offset) { spread.addPoint(offset); });
    spread.findCentre();
    if (spread.rays != 0) {
        forEach([&](const SpotOffset& offset) { spread.addSquare(offset); });
    }
    return spread.spread();
}

// Each pupil point of a kept task once, in the order it was traced.
template <class Visit>
void forEachKeptLanding(const SpotLandingBatch& batch, int task, Visit&& visit) {
    const size_t n = batch.gridValues;
    const SpotOffset* slot =
        batch.landings.data() + static_cast<size_t>(task) * batch.slotsPerTask();
    for (size_t row = 0; row < n; ++row) {
        for (size_t column = 0; column < n; ++column) {
            for (int k = 0; k < kPupilPointsPerGridPoint; ++k, ++slot) {
                if (!repeatsPupilPoint(k, row == 0, column == 0)) {
                    visit(*slot);
                }
            }
        }
    }
}

// One panel's spreads, per line and of the lines together, from kept landings: each
// landing is read twice (centroids, then radii) rather than twice per spread.
void keptPanelSpreads(const SpotLandingBatch& batch, const SpotTaskList& tasks, int panel,
                      SpotPanelStatistics& statistics) {
    std::array<SpreadAccumulator, kSpotLineCount> lines{};
    SpreadAccumulator all;
    const auto eachTask = [&](auto&& work) {
        for (int t = 0; t < tasks.count; ++t) {
            const SpotTask& task = tasks.task[static_cast<size_t>(t)];
            if (task.panel == panel) {
                work(t, static_cast<size_t>(task.line - WavelengthLine::First));
            }
        }
    };
    eachTask([&](int t, size_t line) {
        forEachKeptLanding(batch, t, [&](const SpotOffset& offset) {
            lines[line].addPoint(offset);
            all.addPoint(offset);
        });
    });
    all.findCentre();
    eachTask([&](int t, size_t line) {
        lines[line].findCentre();
        forEachKeptLanding(batch, t, [&](const SpotOffset& offset) {
            lines[line].addSquare(offset);
            all.addSquare(offset);
        });
        statistics.lines[line] = lines[line].spread();
    });
    statistics.all = all.spread();
}

void appendRadius(std::string& text, const char* name, double micrometres, bool known) {
    text += name;
    if (!known) {
        text += " -";
        return;
    }
    char number[64];
    if (micrometres < kLargestFixedPointRadius) {
        snprintfC(number, sizeof number, " %.1fµm", micrometres);
    } else {
        snprintfC(number, sizeof number, " %.1eµm", micrometres);
    }
    text += number;
}

} // namespace

double lineWavelength(int line) {
    const FraunhoferLine* known = fraunhoferLineAt(line);
    return known == nullptr ? 0.0 : known->wavelengthMicrometres;
}

double lineWavelengthMm(int line) {
    return lineWavelength(line) / kMicrometresPerMillimetre;
}

double airyRadius(int line, double fNumber) {
    if (!(fNumber > 0.0) || !std::isfinite(fNumber)) {
        return 0.0;
    }
    const double radius = kAiryFactor * lineWavelength(line) * fNumber;
    return std::isfinite(radius) ? radius : 0.0;
}

bool SpotLandingBatch::keep(size_t valuesAcross, int taskCount) {
    gridValues = valuesAcross;
    const size_t count = slotsPerTask() * static_cast<size_t>(std::max(taskCount, 0));
    landings.clear();
    if (count > kMaxKeptLandings) {
        return false;
    }
    landings.resize(count);
    return true;
}

void SpotLandingBatch::store(size_t slot, bool arrived, SpotOffset offset) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    landings[slot] = arrived ? offset : SpotOffset{kNone, kNone};
}

SpotSpread panelSpread(const SurfaceTable& table, const SpotPanels& panels, int panel,
                       const SpotTaskList& tasks, const std::vector<double>& gridValues,
                       const SpotLandingBatch& batch, int line) {
    if (panel < 0 || panel >= kSpotPanelCount || !panels.ready[static_cast<size_t>(panel)]) {
        return {};
    }
    std::array<int, kSpotLineCount> picked{};
    size_t count = 0;
    for (int t = 0; t < tasks.count; ++t) {
        const SpotTask& task = tasks.task[static_cast<size_t>(t)];
        if (task.panel == panel && (line == kAllLines || task.line == line)) {
            picked[count++] = t;
        }
    }
    const std::span<const int> mine(picked.data(), count);
    if (!batch.landings.empty()) {
        return spreadOf([&](auto&& visit) {
            for (const int t : mine) {
                forEachKeptLanding(batch, t, visit);
            }
        });
    }
    const SpotBeam& beam = panels.beam[static_cast<size_t>(panel)];
    return spreadOf([&](auto&& visit) {
        for (const int t : mine) {
            walkSpotGrid(table, beam, gridValues, tasks.task[static_cast<size_t>(t)].line,
                         [&](bool arrived, const SpotOffset& offset, bool repeat) {
                             if (arrived && !repeat) {
                                 visit(offset);
                             }
                         });
        }
    });
}

SpotStatistics spotStatistics(const SurfaceTable& table, const Settings& settings,
                              const SpotView& state, int threads) {
    SpotStatistics statistics;
    statistics.fNumber = informationFNumber(table, settings, apertureRadius(table));
    if (!(statistics.fNumber > 0.0) || !std::isfinite(statistics.fNumber)) {
        statistics.fNumber = 0.0;
    }
    for (int s = 1; s <= kSpotLineCount; ++s) {
        statistics.airy[static_cast<size_t>(s - 1)] = airyRadius(s, statistics.fNumber);
    }
    SpotPanels panels;
    statistics.focused = prepareSpotPanels(table, settings, state.spotHeight, panels);
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        statistics.panels[j].height = state.spotHeight[j];
        statistics.panels[j].fieldAngle = panels.fieldAngle[j];
        statistics.panels[j].ready = panels.ready[j];
    }
    if (!statistics.focused) {
        return statistics;
    }

    std::vector<double> values;
    spotGridOf(table, settings, values);
    const SpotTaskList tasks = spotTasks(state);
    SpotLandingBatch batch;
    if (batch.keep(values.size(), tasks.count)) {
        traceSpotTasks(table, tasks, panels, values, RepeatedPoints::Skip, threads,
                       [&batch](size_t slot, bool arrived, const SpotOffset& offset) {
                           batch.store(slot, arrived, offset);
                       });
    }
    for (int j = 0; j < kSpotPanelCount; ++j) {
        SpotPanelStatistics& panel = statistics.panels[static_cast<size_t>(j)];
        if (!batch.landings.empty()) {
            if (panel.ready) {
                keptPanelSpreads(batch, tasks, j, panel);
            }
            continue;
        }
        for (int s = 1; s <= kSpotLineCount; ++s) {
            if (state.spotLineShown[static_cast<size_t>(s - 1)] == 1) {
                panel.lines[static_cast<size_t>(s - 1)] =
                    panelSpread(table, panels, j, tasks, values, batch, s);
            }
        }
        panel.all = panelSpread(table, panels, j, tasks, values, batch, kAllLines);
    }
    return statistics;
}

std::string spotSpreadText(const SpotSpread& spread) {
    std::string text;
    appendRadius(text, "RMS", spread.rmsRadius, spread.measured);
    appendRadius(text, "  GEO", spread.geoRadius, spread.measured);
    return text;
}

std::string airyText(double airyMicrometres) {
    std::string text;
    appendRadius(text, "Airy", airyMicrometres, airyMicrometres > 0.0);
    return text;
}

} // namespace kiro
