#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/cli_common.h"
#include "cli/design_failure_words.h"
#include "presenters/design_dialog_logic.h"

namespace kiro::cli {
namespace {

constexpr const char* kReflectorTypeNames[kReflectorTypeCount] = {
    "newtonian",    "cassegrain",         "maksutov-newtonian",       "maksutov-cassegrain",
    "dall-kirkham", "schmidt-cassegrain", "baker-schmidt-cassegrain", "schmidt-camera"};
constexpr const char* kRefractorTypeNames[kRefractorTypeCount] = {"doublet", "doublet-flattener"};

// A type as its list position or its name.
template <size_t N> int parseType(const std::string& text, const char* const (&names)[N]) {
    for (size_t k = 0; k < N; ++k) {
        if (text == names[k] || text == std::to_string(k)) {
            return static_cast<int>(k);
        }
    }
    std::string known;
    for (size_t k = 0; k < N; ++k) {
        known += (k == 0 ? "" : ", ") + std::string(names[k]);
    }
    failUsage("unknown type '" + text + "' (0 to " + std::to_string(N - 1) + " or " + known + ")");
}

// A glass as its name (the last catalogue entry of that exact name, as the lens editor
// finds it) or as #N for catalogue position N.
int parseGlass(const GlassCatalog& catalog, const std::string& text, const char* option) {
    if (text.size() > 1 && text[0] == '#') {
        char* end = nullptr;
        const long k = std::strtol(text.c_str() + 1, &end, 10);
        if (*end == '\0' && k >= 0 && k < glassCount(catalog)) {
            return static_cast<int>(k);
        }
        failUsage(std::string(option) + ": no glass at catalogue position " + text.substr(1) +
                  " (the catalogue holds " + std::to_string(glassCount(catalog)) + ")");
    }
    const int k = findGlass(catalog, text.c_str());
    if (k < 0) {
        failUsage(std::string(option) + ": no glass named '" + text + "' in the catalogue");
    }
    return k;
}

// Numbers are given as the dialog's edit texts; here they must be numbers in full.
void checkNumber(const std::string& text, const char* option) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v)) {
        failUsage(std::string(option) + " expects a number: '" + text + "'");
    }
}

// The measure flags from a comma list of sa, ca, osc; an empty text selects none.
MeasureFlags parseMeasures(const std::string& text) {
    MeasureFlags flags;
    size_t start = 0;
    while (start < text.size()) {
        const size_t comma = text.find(',', start);
        const std::string word =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (word == "sa") {
            flags |= MeasureFlag::Spherical;
        } else if (word == "ca") {
            flags |= MeasureFlag::Chromatic;
        } else if (word == "osc") {
            flags |= MeasureFlag::SineCondition;
        } else {
            failUsage("--measures takes a comma list of sa, ca, osc: '" + text + "'");
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return flags;
}

LensSystem startDesign() {
    LensSystem lens;
    clearLensSystem(lens);
    setDefaultSettings(lens);
    return lens;
}

// What the desktop program does after the dialog: report, or refocus and keep.
void finish(LensSystem& lens, const DesignResult& result, int referenceLine,
            const std::string& out) {
    if (!result.ok) {
        if (result.failure == DesignFailure::None ||
            result.failure == DesignFailure::UnusableSize) {
            failUsage("the aperture and the focal length (aperture x F-number) must be above 0");
        }
        failComputation(designFailureWords(result));
    }
    refocusAfterDesign(lens, referenceLine);
    saveDesign(lens, out);
}

struct ReflectorArgs {
    std::string type;
    std::string aperture = "200";
    std::string fNumber = "5";
    std::string ratio = "1";
    std::string back = "100";
    std::string glass;
    std::string line = "d";
    std::string out;
    std::string glassFile;
};

void runReflector(const ReflectorArgs& args) {
    checkNumber(args.aperture, "--aperture");
    checkNumber(args.fNumber, "--fnum");
    checkNumber(args.ratio, "--ratio");
    if (!args.back.empty()) {
        checkNumber(args.back, "--back");
    }
    GlassCatalog catalog;
    loadCatalog(catalog, args.glassFile);
    ReflectorFields fields;
    fields.type = reflectorTypeAt(parseType(args.type, kReflectorTypeNames));
    fields.glass = args.glass.empty() ? kNoGlass : parseGlass(catalog, args.glass, "--glass");
    fields.line = parseLine(args.line);
    fields.aperture = args.aperture.c_str();
    fields.fNumber = args.fNumber.c_str();
    fields.ratio = args.ratio.c_str();
    fields.backFocus = args.back.c_str();

    LensSystem lens = startDesign();
    ReflectorInputs kept;
    int referenceLine = WavelengthLine::d;
    const DesignResult result = confirmReflectorDialog(lens, kept, referenceLine, fields, catalog);
    finish(lens, result, referenceLine, args.out);
}

struct RefractorArgs {
    std::string type;
    std::string aperture = "100";
    std::string fNumber = "9";
    std::string glass1, glass2, glass3;
    std::string thickness[3] = {"0", "0", "0"};
    std::string measures = "sa,ca,osc";
    std::string line = "d";
    std::string lines = "d,F";
    int mask = 0;
    bool maskGiven = false;
    std::string out;
    std::string glassFile;
};

void runRefractor(const RefractorArgs& args) {
    checkNumber(args.aperture, "--aperture");
    checkNumber(args.fNumber, "--fnum");
    for (const std::string& t : args.thickness) {
        checkNumber(t, "--thickness");
    }
    GlassCatalog catalog;
    loadCatalog(catalog, args.glassFile);
    RefractorFields fields;
    fields.type = refractorTypeAt(parseType(args.type, kRefractorTypeNames));
    fields.glass1 = parseGlass(catalog, args.glass1, "--glass1");
    fields.glass2 = parseGlass(catalog, args.glass2, "--glass2");
    fields.glass3 = args.glass3.empty() ? kNoGlass : parseGlass(catalog, args.glass3, "--glass3");
    fields.measureFlags = parseMeasures(args.measures);
    fields.line = parseLine(args.line);
    fields.chromaticMask = args.maskGiven ? args.mask : parseLineList(args.lines);
    fields.aperture = args.aperture.c_str();
    fields.fNumber = args.fNumber.c_str();
    fields.thickness1 = args.thickness[0].c_str();
    fields.thickness2 = args.thickness[1].c_str();
    fields.thickness3 = args.thickness[2].c_str();

    LensSystem lens = startDesign();
    RefractorInputs kept;
    int referenceLine = WavelengthLine::d;
    const DesignResult result = confirmRefractorDialog(lens, kept, referenceLine, fields, catalog);
    finish(lens, result, referenceLine, args.out);
}

void addReflector(CLI::App* design) {
    auto args = std::make_shared<ReflectorArgs>();
    CLI::App* cmd = design->add_subcommand(
        "reflector", "build a reflecting or catadioptric telescope as the designer's OK does");
    cmd->add_option("--type", args->type,
                    "0 to 7 or newtonian, cassegrain, maksutov-newtonian, maksutov-cassegrain, "
                    "dall-kirkham, schmidt-cassegrain, baker-schmidt-cassegrain, schmidt-camera")
        ->required();
    cmd->add_option("--aperture", args->aperture, "aperture D in mm (200)");
    cmd->add_option("--fnum", args->fNumber, "F-number (5)");
    cmd->add_option("--ratio", args->ratio, "secondary over primary curvature (1; 0 or less: 1)");
    cmd->add_option("--back", args->back, "back focus in mm (100; empty: the aperture)");
    cmd->add_option("--glass", args->glass, "corrector glass: name or #N (none)");
    cmd->add_option("--line", args->line, "reference line (d)");
    cmd->add_option("-o,--output", args->out, "design file to write")->required();
    cmd->add_option("--glass-file", args->glassFile, "glass catalogue to read");
    cmd->callback([args] { runReflector(*args); });
}

void addRefractor(CLI::App* design) {
    auto args = std::make_shared<RefractorArgs>();
    CLI::App* cmd = design->add_subcommand(
        "refractor", "build a doublet, optionally with a flattener, as the designer's OK does");
    cmd->add_option("--type", args->type, "0, 1, doublet or doublet-flattener")->required();
    cmd->add_option("--aperture", args->aperture, "aperture D in mm (100)");
    cmd->add_option("--fnum", args->fNumber, "F-number (9)");
    cmd->add_option("--glass1", args->glass1, "front glass: name or #N")->required();
    cmd->add_option("--glass2", args->glass2, "rear glass: name or #N")->required();
    cmd->add_option("--glass3", args->glass3, "flattener glass: name or #N");
    cmd->add_option("--thickness1", args->thickness[0], "mm (0 or less: automatic)");
    cmd->add_option("--thickness2", args->thickness[1], "mm (0 or less: automatic)");
    cmd->add_option("--thickness3", args->thickness[2], "mm (0 or less: automatic)");
    cmd->add_option("--measures", args->measures, "comma list of sa, ca, osc (all three)");
    cmd->add_option("--line", args->line, "line of the measures and the refocus (d)");
    cmd->add_option("--lines", args->lines, "lines of the chromatic measure (d,F)");
    cmd->add_option_function<int>(
        "--mask",
        [args](int mask) {
            args->mask = mask;
            args->maskGiven = true;
        },
        "lines of the chromatic measure as a mask number");
    cmd->add_option("-o,--output", args->out, "design file to write")->required();
    cmd->add_option("--glass-file", args->glassFile, "glass catalogue to read");
    cmd->callback([args] { runRefractor(*args); });
}

} // namespace

void addDesignCommands(CLI::App& app) {
    CLI::App* design = app.add_subcommand("design", "run an automatic telescope designer");
    design->require_subcommand(1);
    addReflector(design);
    addRefractor(design);
}

} // namespace kiro::cli
