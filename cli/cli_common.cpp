#include "cli/cli_common.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>

#include "model/atomic_file.h"
#include "model/c_numbers.h"
#include "model/design_file.h"
#include "model/fraunhofer_lines.h"
#include "model/program_files.h"
#include "model/text_bytes.h"
#include "presenters/settings_fields.h"

namespace kiro::cli {

void failUsage(const std::string& message) {
    throw CliFailure{kExitUsage, message};
}
void failComputation(const std::string& message) {
    throw CliFailure{kExitComputationFailed, message};
}

void addSettingsOptions(CLI::App* command, SettingsOptions& options) {
    // Optional values, so that no number (not even -1) reads as "not given".
    command->add_option_function<int>(
        "--rays", [&options](int rays) { options.rays = rays; },
        "rays drawn in the side view (0 to 20)");
    command->add_option_function<double>(
        "--angle",
        [&options](double deg) {
            options.angleDeg = deg;
            options.angleGiven = true;
        },
        "incidence angle of the side-view beam in degrees");
    command->add_option_function<int>(
        "--grid-points", [&options](int points) { options.gridPoints = points; },
        "spot grid of a fixed number of points (grid mode 0)");
    command->add_option_function<int>(
        "--grid-pitch", [&options](int pitch) { options.gridPitch = pitch; },
        "spot grid of a fixed pitch in mm (grid mode 1)");
    command->add_option("--grid-mode", options.gridMode, "spot grid mode alone: 0 or 1")
        ->check(CLI::Range(0, 1));
    command->add_option("--source", options.source, "point source X,Y,Z (mm)");
    command->add_option("--glass-file", options.glassFile, "glass catalogue to read");
}

void applySettingsOptions(LensSystem& lens, const SettingsOptions& options) {
    Settings& s = lens.settings;
    if (options.rays) {
        if (*options.rays < 0) {
            failUsage("--rays must be 0 or more");
        }
        s.rayCount = clampRayCount(*options.rays);
    }
    if (options.angleGiven) {
        if (!incidenceFromDegrees(options.angleDeg, s.incidenceAngle)) {
            failUsage("--angle is out of range");
        }
    }
    if (options.gridMode >= 0) {
        // Any mode but 0 lays the grid out by pitch.
        s.spotGridMode =
            options.gridMode == 0 ? SpotGridMode::FixedCount : SpotGridMode::FixedPitch;
    }
    if (options.gridPoints) {
        s.spotGridPoints = clampGridPoints(*options.gridPoints);
        s.spotGridMode = SpotGridMode::FixedCount;
    }
    if (options.gridPitch) {
        s.spotGridPitch = clampGridPitch(*options.gridPitch);
        s.spotGridMode = SpotGridMode::FixedPitch;
    }
    if (!options.source.empty()) {
        const std::vector<double> p = parseNumbers(options.source, 3, "--source");
        s.sourceMode = SourceMode::Point;
        s.sourceX = p[0];
        s.sourceY = p[1];
        s.sourceZ = p[2];
    }
}

namespace {

// A file that is no usable design ends the command like a failed computation, with the
// one-line message of an unreadable input.
[[noreturn]] void failRefusedDesign(const std::string& path, const std::string& reason) {
    failComputation("kiro-cli: " + path + ": " + reason);
}

} // namespace

void loadDesign(LensSystem& lens, const std::string& path, const SettingsOptions& options) {
    clearLensSystem(lens);
    setDefaultSettings(lens);
    const DesignReadResult read = readDesign(lens, path.c_str());
    switch (read.status) {
    case DesignReadStatus::Read:
        break;
    case DesignReadStatus::ReadEndsEarly:
        std::fprintf(stderr, "kiro-cli: warning: %s: the design ends early at line %d\n",
                     path.c_str(), read.line);
        break;
    case DesignReadStatus::CannotOpen:
        failUsage("cannot open design file: " + path);
    case DesignReadStatus::NotADesign:
        failRefusedDesign(path, read.notADesign == NotADesignReason::BinaryContent
                                    ? "not a design file: it holds binary content"
                                    : "not a design file: no known layout and no surface row");
    case DesignReadStatus::NonFiniteNumber:
        failRefusedDesign(path, "line " + std::to_string(read.line) +
                                    ": a number that is not finite (inf, nan or too large)");
    }
    lens.settings.sourceMode = SourceMode::Infinity;
    applySettingsOptions(lens, options);
}

void loadCatalog(GlassCatalog& catalog, const std::string& overridePath) {
    if (overridePath.empty()) {
        loadStartCatalog(catalog);
        return;
    }
    catalog = GlassCatalog{};
    if (loadGlassCatalog(catalog, overridePath.c_str()) == 0) {
        failUsage("cannot read glass catalogue: " + overridePath);
    }
}

int parseLine(const std::string& text) {
    if (text.size() == 1) {
        for (const FraunhoferLine& line : kFraunhoferLines) {
            if (std::tolower(static_cast<unsigned char>(text[0])) ==
                std::tolower(static_cast<unsigned char>(line.letter))) {
                return line.slot;
            }
        }
        if (text[0] >= '1' && text[0] <= '6') {
            return text[0] - '0';
        }
    }
    failUsage("unknown line '" + text + "' (C d e F g h or 1 to 6)");
}

int parseLineList(const std::string& text) {
    int mask = 0;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        mask |= 1 << parseLine(text.substr(start, end - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return mask;
}

std::vector<double> parseNumbers(const std::string& text, size_t count, const char* what) {
    std::vector<double> values;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* end = nullptr;
        errno = 0;
        const double v = std::strtod(item.c_str(), &end);
        if (item.empty() || end == item.c_str() || *end != '\0' || !std::isfinite(v)) {
            failUsage(std::string(what) + " expects numbers separated by commas: " + text);
        }
        values.push_back(v);
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (count != 0 && values.size() != count) {
        failUsage(std::string(what) + " expects " + std::to_string(count) + " numbers: " + text);
    }
    return values;
}

std::string formatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string recordNumber(double value, bool known) {
    return known ? formatShownC("%.17g", value) : std::string(kNoValueText);
}

std::string toUtf8(const char* bytes) {
    const size_t length = std::strlen(bytes);
    if (isValidUtf8(bytes, length)) {
        return std::string(bytes, length);
    }
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(bytes, length);
    }
    std::string out;
    std::string input(bytes, length);
    char* in = input.data();
    size_t inLeft = length;
    char buffer[256];
    while (inLeft > 0) {
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte that is not CP932: show it as the replacement character and go on.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

void writeFileAtomically(const std::string& path, const std::string& bytes) {
    if (!replaceFileAtomically(path.c_str(), bytes)) {
        failUsage("cannot write " + path);
    }
}

void saveDesign(const LensSystem& lens, const std::string& path) {
    switch (writeDesign(lens, path.c_str()).status) {
    case DesignWriteStatus::Written:
        break;
    case DesignWriteStatus::CannotWrite:
        failUsage("cannot write design file: " + path);
    case DesignWriteStatus::NonFiniteNumber:
        failComputation("kiro-cli: " + path +
                        ": not written: the design holds a value that is not finite");
    }
}

void addLineOptions(CLI::App* cmd, LineOptions& lines, const std::string& views) {
    cmd->add_option("--lines", lines.lines, views + "lines shown, comma list");
    cmd->add_option_function<int>(
        "--mask", [&lines](int mask) { lines.mask = mask; },
        views + "lines shown as a mask (bit k for line k)");
}

int shownLinesMask(const LineOptions& args) {
    if (!args.lines.empty() && args.mask) {
        failUsage("give either --lines or --mask");
    }
    if (args.mask) {
        if (*args.mask < 0 || (*args.mask & ~kAllLinesMask) != 0) {
            failUsage("--mask takes bits 1 to 6 (C to h)");
        }
        return *args.mask;
    }
    return args.lines.empty() ? kAllLinesMask : parseLineList(args.lines);
}

void applyPanelHeights(const std::string& text, std::array<double, 3>& heights) {
    if (!text.empty()) {
        const std::vector<double> given = parseNumbers(text, heights.size(), "--heights");
        std::copy(given.begin(), given.end(), heights.begin());
    }
}

} // namespace kiro::cli
