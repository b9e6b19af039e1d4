#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro::cli {

// Exit codes of the command-line contract.
constexpr int kExitOk = 0;
constexpr int kExitComputationFailed = 1;
constexpr int kExitUsage = 2;

// Thrown by a command to end the program with a code and a one-line message. Usage
// errors (kExitUsage) are printed with the "kiro-cli: " prefix.
struct CliFailure {
    int code;
    std::string message;
};

[[noreturn]] void failUsage(const std::string& message);
[[noreturn]] void failComputation(const std::string& message);

// The settings options every command that reads a design accepts.
struct SettingsOptions {
    std::optional<int> rays;
    double angleDeg = 0.0;
    bool angleGiven = false;
    std::optional<int> gridPoints;
    std::optional<int> gridPitch;
    int gridMode = -1;
    std::string source;
    std::string glassFile;
};
void addSettingsOptions(CLI::App* command, SettingsOptions& options);
void applySettingsOptions(LensSystem& lens, const SettingsOptions& options);

// Start values, then the design file, then the options. Exit 2 when the file cannot be
// opened, 1 when it is refused (no design, a non-finite number); a design that ends
// early is read with a warning.
void loadDesign(LensSystem& lens, const std::string& path, const SettingsOptions& options);

// "glass.dat" in the working directory, else the catalogue installed with the program;
// an explicit path overrides both (exit 2 when it cannot be read).
void loadCatalog(GlassCatalog& catalog, const std::string& overridePath);

// A line as a letter (C d e F g h, either case) or slot number 1..6; exit 2 otherwise.
int parseLine(const std::string& text);
// A comma list of lines, as a mask with bit k for line k.
int parseLineList(const std::string& text);
constexpr int kAllLinesMask = 0x7E; // bits 1..6

// The lines a view or command shows: --lines or --mask, all when neither is given.
struct LineOptions {
    std::string lines;
    std::optional<int> mask;
};
void addLineOptions(CLI::App* cmd, LineOptions& lines, const std::string& views);
// The lines of --lines or --mask, as a mask with bit k for line k; all when neither.
int shownLinesMask(const LineOptions& args);
// A dialog's shown flags (slot k + 1 at k) from a mask with bit k for line k.
template <size_t N> void applyLines(std::array<int, N>& shown, int mask) {
    for (size_t k = 0; k < N; ++k) {
        shown[k] = (mask >> (k + 1)) & 1;
    }
}

// A comma-separated list of numbers, exactly count of them unless count is 0.
std::vector<double> parseNumbers(const std::string& text, size_t count, const char* what);

// The three panels' image heights of --heights (mm), when it is given.
void applyPanelHeights(const std::string& text, std::array<double, 3>& heights);

// "%.17g"
std::string formatNumber(double value);
// A record's number, "%.17g"; "-" where there is none (not known, or not finite).
std::string recordNumber(double value, bool known = true);
// Description and names are bytes (CP932 or UTF-8); this gives UTF-8 for printing.
std::string toUtf8(const char* bytes);

// Writes a whole file through a temporary file in the same folder; exit 2 on failure.
void writeFileAtomically(const std::string& path, const std::string& bytes);
// Writes a design file (atomic); exit 2 when it cannot be written, 1 when the design
// holds a non-finite value (nothing is written).
void saveDesign(const LensSystem& lens, const std::string& path);

// Registration of the command groups, one file each.
void addModelCommands(CLI::App& app);      // show, convert, resize
void addTraceCommands(CLI::App& app);      // trace, focus, sine, light
void addAnalysisCommands(CLI::App& app);   // info, render, spot
void addAberrationCommands(CLI::App& app); // fans, field, seidel
void addMeritCommands(CLI::App& app);      // measure, refocus, optimize
void addDesignCommands(CLI::App& app);     // design reflector, design refractor
void addWavefrontCommands(CLI::App& app);  // wavefront, mtf

} // namespace kiro::cli
