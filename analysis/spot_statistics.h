#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "analysis/spot_diagram.h"
#include "analysis/spot_rays.h"

namespace kiro {

constexpr double kMicrometresPerMillimetre = 1000.0;

// How large one panel's spot is, over the rays the spot diagram traces, each pupil point
// counted once. Micrometres, in the coordinates the diagram shows (x and y of the usual
// image plane).
struct SpotSpread {
    int rays = 0;           // pupil points whose ray arrives
    double centroidA = 0.0; // the centroid's offset from the reference point
    double centroidB = 0.0;
    double rmsRadius = 0.0; // about the centroid
    double geoRadius = 0.0; // largest distance of an arriving ray from the centroid
    // False when no ray arrives (or the sums overflow): there are no numbers to show.
    bool measured = false;
};

// Wavelength of a line slot 1..6 in micrometres; 0 for other slots.
double lineWavelength(int line);
// The same in millimetres, as the diffraction figures work in them.
double lineWavelengthMm(int line);

// Radius of the Airy disk's first dark ring, 1.22 lambda N, in micrometres; 0 when the
// F-number is not a positive finite number or the slot is not a line.
double airyRadius(int line, double fNumber);

struct SpotPanelStatistics {
    bool ready = false; // the panel has a field angle and a reference point
    double height = 0.0;
    double fieldAngle = 0.0;                        // radians
    std::array<SpotSpread, kSpotLineCount> lines{}; // slot 1..6 at 0..5, shown lines only
    SpotSpread all{};                               // the shown lines together
};

struct SpotStatistics {
    double fNumber = 0.0; // as the information text gives it; 0 when there is none
    std::array<double, kSpotLineCount> airy{}; // micrometres, slot 1..6 at 0..5
    std::array<SpotPanelStatistics, kSpotPanelCount> panels{};
    // False when the design has no focal length (or no rows): no panel has numbers.
    bool focused = false;
};

// The statistics of the dialog's three panels and shown lines, from the same rays as its
// picture. The rays are traced on `threads` threads; the numbers do not depend on how many.
SpotStatistics spotStatistics(const SurfaceTable& table, const Settings& settings,
                              const SpotView& state, int threads = paintThreadCount());

// The landings of a traced task list (traceSpotTasks), kept for the statistics: the
// offsets of every slot, a not-a-number `a` where no ray arrived. Empty when the grid is
// too large to keep.
struct SpotLandingBatch {
    std::vector<SpotOffset> landings;
    size_t gridValues = 0; // n, the grid's coordinates across half the pupil
    size_t slotsPerTask() const { return kPupilPointsPerGridPoint * gridValues * gridValues; }
    // Makes room for the tasks' landings when they fit within kMaxKeptLandings.
    bool keep(size_t valuesAcross, int taskCount);
    void store(size_t slot, bool arrived, SpotOffset offset);
};

// Landing slots a batch may hold (16 bytes each); larger grids are traced twice instead.
constexpr size_t kMaxKeptLandings = size_t{1} << 21;

constexpr int kAllLines = 0;

// The spread at one panel of one of the tasks' lines, or of all of them together
// (kAllLines), each pupil point once: from the batch when it kept the landings, otherwise traced
// afresh (twice: for the centroid, then for the radii about it). No numbers for a panel
// without a beam.
SpotSpread panelSpread(const SurfaceTable& table, const SpotPanels& panels, int panel,
                       const SpotTaskList& tasks, const std::vector<double>& gridValues,
                       const SpotLandingBatch& batch, int line);

// The dialog's text under a panel, e.g. "RMS 3.2µm  GEO 7.9µm" and "Airy 3.6µm" (the
// panel is too narrow for both on one line); a value that does not exist shows as "-".
std::string spotSpreadText(const SpotSpread& spread);
std::string airyText(double airyMicrometres);

} // namespace kiro
