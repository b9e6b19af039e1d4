#include "model/design_file.h"

#include "model/token_reader.h"

namespace kiro {
namespace {

// Files with a version below this have no version line before the description and
// store indices at four lines only.
constexpr int kFirstMiddleVersion = 40;
constexpr int kFirstCurrentVersion = 100;
constexpr int kLegacyLensCode = 21;     // two spherical surfaces and the glass between
constexpr int kLegacyPlanoAsphere = 22; // a flat and an aspheric surface (middle layout)
constexpr int kVersionBias = 111 * '0'; // 5328: makes "ver100" give 100

enum class Layout { Oldest, Middle, Current };

bool isEmptyMark(std::string_view text) {
    return text == "-";
}

void readName(TokenReader& in, char* field) {
    std::string_view token;
    nextToken(in, token);
    copyField(field, kNameBytes, isEmptyMark(token) ? std::string_view{} : token);
}

void skipToken(TokenReader& in) {
    std::string_view token;
    nextToken(in, token);
}

// The older layouts stored radii with the opposite sign: their centre lay at z - R.
double flipRadius(double r) {
    return r == 0.0 ? 0.0 : -r;
}

void readCurrentRow(TokenReader& in, Surface& row) {
    for (double* field : {&row.x, &row.y, &row.z, &row.nx, &row.ny, &row.nz, &row.radius, &row.a2,
                          &row.a3, &row.a4, &row.effectiveRadius}) {
        readNumber(in, *field);
    }
    for (double& n : row.index) {
        readNumber(in, n);
    }
    readName(in, row.material);
}

// Index values of a legacy record: all eight slots, or in the oldest layout the four
// lines C, d, F and g.
void readLegacyIndices(TokenReader& in, Layout layout, Surface& row) {
    if (layout == Layout::Middle) {
        for (double& n : row.index) {
            readNumber(in, n);
        }
        return;
    }
    for (int slot : {WavelengthLine::C, WavelengthLine::d, WavelengthLine::F, WavelengthLine::g}) {
        readNumber(in, row.index[slot]);
    }
}

// Vertex, radius (or a coefficient) and clear radius: one line of a legacy record.
void readLegacyPlacement(TokenReader& in, Surface& row, double& radiusField) {
    readNumber(in, row.x);
    readNumber(in, row.y);
    readNumber(in, row.z);
    readNumber(in, radiusField);
    readNumber(in, row.effectiveRadius);
}

void readLegacySingleRow(TokenReader& in, Layout layout, Surface& row, int32_t code) {
    row.type = code;
    readLegacyPlacement(in, row, row.radius);
    readNumber(in, row.nx);
    readNumber(in, row.ny);
    readNumber(in, row.nz);
    readNumber(in, row.a2);
    readNumber(in, row.a3);
    readLegacyIndices(in, layout, row);
    skipToken(in); // the material of a single row was never used
}

void readLegacyLens(TokenReader& in, Layout layout, Surface& front, Surface& back) {
    for (Surface* row : {&front, &back}) {
        row->type = SurfaceType::SphericalLens;
        readLegacyPlacement(in, *row, row->radius);
        row->nx = row->ny = row->nz = 0.0;
    }
    readLegacyIndices(in, layout, front);
    if (layout == Layout::Oldest) {
        // The missing lines: r as C, e as the mean of d and F, h and i as g.
        auto& n = front.index;
        n[0] = n[WavelengthLine::C];
        n[WavelengthLine::e] = (n[WavelengthLine::d] + n[WavelengthLine::F]) * 0.5;
        n[WavelengthLine::h] = n[WavelengthLine::g];
        n[7] = n[WavelengthLine::g];
    }
    readName(in, front.material);
    front.radius = flipRadius(front.radius);
    back.radius = flipRadius(back.radius);
}

void readLegacyPlanoAsphere(TokenReader& in, Surface& flat, Surface& asphere) {
    double a1 = 0.0;
    double a2 = 0.0;
    flat.type = SurfaceType::FlatLens;
    readLegacyPlacement(in, flat, a1);
    asphere.type = SurfaceType::AsphericLens;
    readLegacyPlacement(in, asphere, a2);
    asphere.radius = a1;
    asphere.a2 = a2;
    asphere.nx = asphere.ny = asphere.nz = 0.0;
    readLegacyIndices(in, Layout::Middle, flat);
    readName(in, flat.material);
}

// Reads one record of an older layout at row `at`; returns the rows it took, 0 when a
// two-row record no longer fits (the reading ends there).
int readLegacyRecord(TokenReader& in, Layout layout, SurfaceTable& table, int at, int32_t code) {
    if (code < SurfaceType::FirstRefracting) {
        readLegacySingleRow(in, layout, table[at], code);
        return 1;
    }
    const bool lens = code == kLegacyLensCode;
    const bool planoAsphere = code == kLegacyPlanoAsphere && layout == Layout::Middle;
    if (!lens && !planoAsphere) {
        return 1; // an unknown record: its row stays empty and nothing of it is read
    }
    if (at + 1 >= kSurfaceRows) {
        return 0;
    }
    if (lens) {
        readLegacyLens(in, layout, table[at], table[at + 1]);
    } else {
        readLegacyPlanoAsphere(in, table[at], table[at + 1]);
    }
    return 2;
}

} // namespace

bool designFileVersion(std::string_view token, int& version) {
    const size_t nul = token.find('\0');
    if (nul != std::string_view::npos) {
        token = token.substr(0, nul);
    }
    if (token.size() < 6 || token.substr(0, 3) != "ver") {
        return false;
    }
    const auto code = [&](size_t i) {
        return static_cast<int>(static_cast<signed char>(token[i]));
    };
    version = 100 * code(3) + 10 * code(4) + code(5) - kVersionBias;
    return true;
}

int readDesignFile(LensSystem& lens, const char* path) {
    std::string bytes;
    if (!readFileBytes(path, bytes, kMaxTextFileBytes)) {
        return 0;
    }
    return readDesignText(lens, bytes.data(), bytes.size());
}

DesignReadResult readDesign(LensSystem& lens, const char* path) {
    DesignReadResult result;
    if (readDesignFile(lens, path) == 0) {
        result.status = DesignReadStatus::CannotOpen;
    }
    return result;
}

DesignReadResult readDesignBytes(LensSystem& lens, const char* data, size_t size) {
    readDesignText(lens, data, size);
    return {};
}

int readDesignText(LensSystem& lens, const char* data, size_t size) {
    clearLensSystem(lens);
    TokenReader in = makeTokenReader(data, size);

    std::string_view first;
    nextToken(in, first);
    int version = 0;
    Layout layout = Layout::Oldest;
    if (designFileVersion(first, version) && version >= kFirstMiddleVersion) {
        layout = version >= kFirstCurrentVersion ? Layout::Current : Layout::Middle;
    }
    std::string_view description = first;
    if (layout != Layout::Oldest) {
        // The whole line, so that a description with blanks survives a save and load.
        nextLine(in, description);
    }
    copyField(lens.description, kDescriptionBytes,
              isEmptyMark(description) ? std::string_view{} : description);
    if (in.endReached) {
        return 1;
    }

    int row = 0;
    while (row < kSurfaceRows) {
        int32_t code = SurfaceType::End;
        readInteger(in, code);
        if (in.endReached) {
            lens.surfaces[row].type = SurfaceType::End;
            break;
        }
        if (layout == Layout::Current) {
            lens.surfaces[row].type = code;
            readCurrentRow(in, lens.surfaces[row]);
            ++row;
        } else {
            const int taken = readLegacyRecord(in, layout, lens.surfaces, row, code);
            if (taken == 0) {
                break;
            }
            row += taken;
        }
        if (in.endReached) {
            break;
        }
    }
    return 1;
}

} // namespace kiro
