#include "model/design_file.h"

#include <cerrno>
#include <cstring>

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

// One reading of a design's bytes and what it met on the way.
struct DesignInput {
    TokenReader in;
    int nonFiniteLine = 0;     // the first line holding an inf, a nan or an overflow
    bool cut = false;          // the bytes ended inside a record
    bool unreadNumber = false; // a number field of the current record held no number
};

bool isEmptyMark(std::string_view text) {
    return text == "-";
}

// The next token of a record; its absence means the record was cut short.
bool take(DesignInput& d, std::string_view& token) {
    if (!nextToken(d.in, token)) {
        d.cut = true;
        return false;
    }
    return true;
}

void readNumber(DesignInput& d, double& field) {
    std::string_view token;
    if (!take(d, token)) {
        return;
    }
    switch (readNumberPrefix(token, field)) {
    case NumberPrefix::Finite:
        break;
    case NumberPrefix::NonFinite:
        if (d.nonFiniteLine == 0) {
            d.nonFiniteLine = lineAt(d.in, static_cast<size_t>(token.data() - d.in.data));
        }
        break;
    case NumberPrefix::None:
        d.unreadNumber = true; // the field keeps its cleared value
        break;
    }
}

void readName(DesignInput& d, char* field) {
    std::string_view token;
    take(d, token);
    copyField(field, kNameBytes, isEmptyMark(token) ? std::string_view{} : token);
}

void skipToken(DesignInput& d) {
    std::string_view token;
    take(d, token);
}

// The older layouts stored radii with the opposite sign: their centre lay at z - R.
double flipRadius(double r) {
    return r == 0.0 ? 0.0 : -r;
}

void readCurrentRow(DesignInput& d, Surface& row) {
    for (double* field : {&row.x, &row.y, &row.z, &row.nx, &row.ny, &row.nz, &row.radius, &row.a2,
                          &row.a3, &row.a4, &row.effectiveRadius}) {
        readNumber(d, *field);
    }
    for (double& n : row.index) {
        readNumber(d, n);
    }
    readName(d, row.material);
}

// Index values of a legacy record: all eight slots, or in the oldest layout the four
// lines C, d, F and g.
void readLegacyIndices(DesignInput& d, Layout layout, Surface& row) {
    if (layout == Layout::Middle) {
        for (double& n : row.index) {
            readNumber(d, n);
        }
        return;
    }
    for (int slot : {WavelengthLine::C, WavelengthLine::d, WavelengthLine::F, WavelengthLine::g}) {
        readNumber(d, row.index[slot]);
    }
}

// Vertex, radius (or a coefficient) and clear radius: one line of a legacy record.
void readLegacyPlacement(DesignInput& d, Surface& row, double& radiusField) {
    readNumber(d, row.x);
    readNumber(d, row.y);
    readNumber(d, row.z);
    readNumber(d, radiusField);
    readNumber(d, row.effectiveRadius);
}

void readLegacySingleRow(DesignInput& d, Layout layout, Surface& row, int32_t code) {
    row.type = code;
    readLegacyPlacement(d, row, row.radius);
    readNumber(d, row.nx);
    readNumber(d, row.ny);
    readNumber(d, row.nz);
    readNumber(d, row.a2);
    readNumber(d, row.a3);
    readLegacyIndices(d, layout, row);
    skipToken(d); // the material of a single row was never used
}

void readLegacyLens(DesignInput& d, Layout layout, Surface& front, Surface& back) {
    for (Surface* row : {&front, &back}) {
        row->type = SurfaceType::SphericalLens;
        readLegacyPlacement(d, *row, row->radius);
        row->nx = row->ny = row->nz = 0.0;
    }
    readLegacyIndices(d, layout, front);
    if (layout == Layout::Oldest) {
        // The missing lines: r as C, e as the mean of d and F, h and i as g.
        auto& n = front.index;
        n[0] = n[WavelengthLine::C];
        n[WavelengthLine::e] = (n[WavelengthLine::d] + n[WavelengthLine::F]) * 0.5;
        n[WavelengthLine::h] = n[WavelengthLine::g];
        n[7] = n[WavelengthLine::g];
    }
    readName(d, front.material);
    front.radius = flipRadius(front.radius);
    back.radius = flipRadius(back.radius);
}

void readLegacyPlanoAsphere(DesignInput& d, Surface& flat, Surface& asphere) {
    double a1 = 0.0;
    double a2 = 0.0;
    flat.type = SurfaceType::FlatLens;
    readLegacyPlacement(d, flat, a1);
    asphere.type = SurfaceType::AsphericLens;
    readLegacyPlacement(d, asphere, a2);
    asphere.radius = a1;
    asphere.a2 = a2;
    asphere.nx = asphere.ny = asphere.nz = 0.0;
    readLegacyIndices(d, Layout::Middle, flat);
    readName(d, flat.material);
}

// Reads one record of an older layout at row `at`; returns the rows it took, 0 when a
// two-row record no longer fits (the reading ends there).
int readLegacyRecord(DesignInput& d, Layout layout, SurfaceTable& table, int at, int32_t code) {
    if (code < SurfaceType::FirstRefracting) {
        readLegacySingleRow(d, layout, table[at], code);
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
        readLegacyLens(d, layout, table[at], table[at + 1]);
    } else {
        readLegacyPlanoAsphere(d, table[at], table[at + 1]);
    }
    return 2;
}

// The line of the last byte that is not a separator: where a cut file ends.
int lastContentLine(const TokenReader& in) {
    size_t end = in.size;
    while (end > 0 && isTokenSeparator(in.data[end - 1])) {
        --end;
    }
    return lineAt(in, end == 0 ? 0 : end - 1);
}

// Reads the bytes into lens (already cleared). Returns the status; rowRecords counts the
// records that were whole rows with numbers in every number field, which is what tells an
// oldest-layout design (it has no version line) from any other text.
DesignReadResult readInto(LensSystem& lens, const char* data, size_t size) {
    DesignInput d{makeTokenReader(data, size)};
    std::string_view first;
    nextToken(d.in, first);
    int version = 0;
    Layout layout = Layout::Oldest;
    if (designFileVersion(first, version) && version >= kFirstMiddleVersion) {
        layout = version >= kFirstCurrentVersion ? Layout::Current : Layout::Middle;
    }
    std::string_view description = first;
    // The whole line, so that a description with blanks survives a save and load.
    if (layout != Layout::Oldest && !nextLine(d.in, description)) {
        d.cut = true; // a version line and no description
    }
    copyField(lens.description, kDescriptionBytes,
              isEmptyMark(description) ? std::string_view{} : description);

    int rowRecords = 0;
    int row = 0;
    while (!d.cut && row < kSurfaceRows) {
        std::string_view codeToken;
        if (!nextToken(d.in, codeToken)) {
            break;
        }
        int32_t code = SurfaceType::End;
        const bool codeRead = parseIntegerPrefix(codeToken, code);
        if (d.in.endReached) {
            d.cut = true; // a type code and nothing of its row
            break;
        }
        d.unreadNumber = false;
        int taken = 1;
        if (layout == Layout::Current) {
            lens.surfaces[row].type = code;
            readCurrentRow(d, lens.surfaces[row]);
        } else {
            taken = readLegacyRecord(d, layout, lens.surfaces, row, code);
            if (taken == 0) {
                break;
            }
        }
        const bool producesRows = code < SurfaceType::FirstRefracting || taken == 2;
        if (codeRead && producesRows && !d.cut && !d.unreadNumber) {
            ++rowRecords;
        }
        row += taken;
        if (d.in.endReached) {
            break;
        }
    }

    DesignReadResult result;
    if (layout == Layout::Oldest && rowRecords == 0) {
        result.status = DesignReadStatus::NotADesign;
        result.notADesign = NotADesignReason::NoLayout;
    } else if (d.nonFiniteLine != 0) {
        result.status = DesignReadStatus::NonFiniteNumber;
        result.line = d.nonFiniteLine;
    } else if (d.cut) {
        result.status = DesignReadStatus::ReadEndsEarly;
        result.line = lastContentLine(d.in);
    }
    return result;
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

DesignReadResult readDesign(LensSystem& lens, const char* path) {
    std::string bytes;
    if (!readFileBytes(path, bytes, kMaxTextFileBytes)) {
        DesignReadResult result;
        result.status = DesignReadStatus::CannotOpen;
        result.systemError = errno;
        return result;
    }
    return readDesignBytes(lens, bytes.data(), bytes.size());
}

DesignReadResult readDesignBytes(LensSystem& lens, const char* data, size_t size) {
    if (data != nullptr && std::memchr(data, '\0', size) != nullptr) {
        DesignReadResult result;
        result.status = DesignReadStatus::NotADesign;
        result.notADesign = NotADesignReason::BinaryContent;
        return result;
    }
    LensSystem read = lens;
    clearLensSystem(read);
    const DesignReadResult result = readInto(read, data, size);
    if (result.accepted()) {
        lens = read;
    }
    return result;
}

int readDesignFile(LensSystem& lens, const char* path) {
    return readDesign(lens, path).accepted() ? 1 : 0;
}

int readDesignText(LensSystem& lens, const char* data, size_t size) {
    return readDesignBytes(lens, data, size).accepted() ? 1 : 0;
}

} // namespace kiro
