#include "presenters/lens_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "design/merit.h"
#include "model/c_numbers.h"

namespace kiro {

namespace {

constexpr int kLastRow = kEditorRows - 1;

bool validRow(int row) {
    return row >= 0 && row < kEditorRows;
}

// Plane rows the editor stores facing the axis.
bool takesAxialNormal(int32_t type) {
    return isFlat(type);
}

// A diameter the design cannot use: 0 where rays must pass (anything in use but an
// obstruction), below 0 anywhere, or not a number at all.
bool invalidDiameter(int32_t type, double diameter) {
    if (!std::isfinite(diameter) || diameter < 0.0) {
        return true;
    }
    const bool mayBeZero = type < 0 || isObstruction(type);
    return diameter == 0.0 && !mayBeZero;
}

bool hasZeroNormal(const Surface& row) {
    return row.nx == 0.0 && row.ny == 0.0 && row.nz == 0.0;
}

// An empty name, or one that starts with "-", names no material.
bool namesNoMaterial(const Surface& row) {
    return row.material[0] == '\0' || row.material[0] == '-';
}

bool sameMaterial(const ForeignMaterial& m, const Surface& row) {
    return std::strncmp(m.name, row.material, kNameBytes) == 0 && m.index == row.index;
}

std::string& textOf(EditorRow& row, EditorColumn column) {
    switch (column) {
    case EditorColumn::Radius:
        return row.radius;
    case EditorColumn::A2:
        return row.a2;
    case EditorColumn::A3:
        return row.a3;
    case EditorColumn::A4:
        return row.a4;
    case EditorColumn::Diameter:
        return row.diameter;
    case EditorColumn::Spacing:
        return row.spacing;
    case EditorColumn::Position:
        break;
    }
    return row.position;
}

const std::string& textOf(const EditorRow& row, EditorColumn column) {
    return textOf(const_cast<EditorRow&>(row), column);
}

bool isCoefficient(EditorColumn column) {
    return column == EditorColumn::A2 || column == EditorColumn::A3 || column == EditorColumn::A4;
}

constexpr EditorColumn kRowNumbers[] = {EditorColumn::Radius, EditorColumn::A2, EditorColumn::A3,
                                        EditorColumn::A4, EditorColumn::Diameter};

// A type list entry in one language: noType at position 0, the kind's name after it.
const char* typeListWord(int position, const char* noType, const char* SurfaceKindInfo::*name) {
    if (position == 0) {
        return noType;
    }
    const SurfaceKindInfo* kind = surfaceKindInfo(typeCodeAt(position));
    return kind == nullptr ? "" : kind->*name;
}

} // namespace

const char* typeListName(int position) {
    return typeListWord(position, kNoTypeName, &SurfaceKindInfo::japaneseName);
}

const char* typeListEnglishName(int position) {
    return typeListWord(position, kNoTypeEnglishName, &SurfaceKindInfo::englishName);
}

int32_t typeCodeAt(int position) {
    return position > 0 && position < kTypeListSize ? kTypeListCodes[position] : SurfaceType::End;
}

int typePositionOf(int32_t code) {
    for (int k = 1; k < kTypeListSize; ++k) {
        if (kTypeListCodes[k] == code) {
            return k;
        }
    }
    return 0;
}

std::string formatGridNumber(double value) {
    char buffer[512];
    snprintfC(buffer, sizeof buffer, "%lg", value);
    return buffer;
}

LensEditor::LensEditor(const SurfaceTable& design, const Settings& settings,
                       const GlassCatalog& catalog, DecimalMarks marks)
    : settings_(settings), catalog_(catalog), marks_(marks) {
    guard_ = true;
    work_ = design;
    for (int k = 0; k < kEditorRows; ++k) {
        work_[k].effectiveRadius *= 2.0;
    }
    syncPositions();
    collectForeignMaterials();
    recordHidden();
    for (int k = 0; k < kEditorRows && work_[k].type >= 0; ++k) {
        showRow(k);
    }
    guard_ = false;
}

void LensEditor::collectForeignMaterials() {
    for (int k = 0; k < kLastRow; ++k) {
        const Surface& row = work_[k];
        if (namesNoMaterial(row) || findGlass(catalog_, row.material) >= 0) {
            continue;
        }
        const auto begin = foreign_.begin(), end = begin + foreignCount_;
        if (std::none_of(begin, end,
                         [&row](const ForeignMaterial& m) { return sameMaterial(m, row); })) {
            ForeignMaterial& added = foreign_[foreignCount_++];
            std::memcpy(added.name, row.material, kNameBytes);
            added.index = row.index;
        }
    }
}

// The cells of rows not shown hold empty texts; behind them stand the working values, so
// a row the grid never showed is stored as it was.
void LensEditor::recordHidden() {
    for (int k = 0; k < kEditorRows; ++k) {
        const Surface& row = work_[k];
        ShownRow& shown = shown_[k];
        shown.type = kNoSelection;
        shown.material = kNoSelection;
        const double values[kEditorColumns] = {row.radius,
                                               row.a2,
                                               row.a3,
                                               row.a4,
                                               row.effectiveRadius,
                                               k < kLastRow ? row.z - work_[k + 1].z : 0.0,
                                               row.z};
        for (int c = 0; c < kEditorColumns; ++c) {
            shown.cells[c] = {std::string{}, values[c]};
        }
    }
}

int LensEditor::materialPositionOf(const Surface& row) const {
    if (namesNoMaterial(row)) {
        return 0;
    }
    const int k = findGlass(catalog_, row.material);
    if (k >= 0) {
        return k;
    }
    for (int i = 0; i < foreignCount_; ++i) {
        if (sameMaterial(foreign_[i], row)) {
            return glassCount(catalog_) + i;
        }
    }
    return kNoSelection;
}

void LensEditor::showNumber(int k, EditorColumn column, double value) {
    showText(k, column, formatGridNumber(value).c_str(), value);
}

void LensEditor::showText(int k, EditorColumn column, const char* text, double value) {
    textOf(grid_[k], column) = text;
    shown_[k].cells[static_cast<int>(column)] = {text, value};
}

void LensEditor::showRow(int k) {
    const Surface& row = work_[k];
    grid_[k].type = typePositionOf(row.type);
    shown_[k].type = grid_[k].type;
    showNumber(k, EditorColumn::Radius, row.radius);
    const bool coefficients = editsCoefficients(row.type);
    const double a[3] = {row.a2, row.a3, row.a4};
    for (int c = 0; c < 3; ++c) {
        const auto column = static_cast<EditorColumn>(static_cast<int>(EditorColumn::A2) + c);
        if (coefficients) {
            showNumber(k, column, a[c]);
        } else {
            showText(k, column, kNoCoefficient, a[c]);
        }
    }
    showNumber(k, EditorColumn::Diameter, row.effectiveRadius);
    // Material and spacing describe the gap to the next row; with no next row in use
    // they keep whatever they showed.
    if (k < kLastRow && work_[k + 1].type >= 0) {
        grid_[k].material = materialPositionOf(row);
        shown_[k].material = grid_[k].material;
        showNumber(k, EditorColumn::Spacing, row.z - work_[k + 1].z);
    }
    showNumber(k, EditorColumn::Position, row.z);
}

void LensEditor::showAllRows() {
    for (int k = 0; k < kEditorRows; ++k) {
        showRow(k);
    }
}

// The coupling's positions follow the rows the grid shows after add and delete, so a
// later spacing edit never brings back a position from before them.
void LensEditor::syncPositions() {
    for (int k = 0; k < kEditorRows; ++k) {
        positions_[k] = work_[k].z;
    }
}

bool LensEditor::unchanged(int k, EditorColumn column) const {
    return textOf(grid_[k], column) == shown_[k].cells[static_cast<int>(column)].text;
}

NumberReading LensEditor::readCell(int k, EditorColumn column) const {
    if (unchanged(k, column)) {
        return {shown_[k].cells[static_cast<int>(column)].value, NumberProblem::None};
    }
    const std::string& text = textOf(grid_[k], column);
    if (isCoefficient(column) && text == kNoCoefficient) {
        return {0.0, NumberProblem::None};
    }
    return readNumberText(text, marks_);
}

EditorVerdict LensEditor::refuseCell(int k, EditorColumn column, NumberProblem problem) {
    refusal_ = {k, column, problem};
    return EditorVerdict::UnreadableNumber;
}

void LensEditor::setText(int row, EditorColumn column, const std::string& text) {
    if (!validRow(row)) {
        return;
    }
    switch (column) {
    case EditorColumn::Spacing:
        if (row < kLastRow) {
            grid_[row].spacing = text;
            spacingChanged();
        }
        break;
    case EditorColumn::Position:
        grid_[row].position = text;
        if (row < kLastRow) {
            positionChanged();
        }
        break;
    default:
        textOf(grid_[row], column) = text;
        break;
    }
}

void LensEditor::setTypeSelection(int row, int position) {
    if (validRow(row)) {
        grid_[row].type = position >= 0 && position < kTypeListSize ? position : kNoSelection;
    }
}

void LensEditor::setMaterialSelection(int row, int position) {
    if (validRow(row) && row < kLastRow) {
        const int listed = glassCount(catalog_) + foreignCount_;
        grid_[row].material = position >= 0 && position < listed ? position : kNoSelection;
    }
}

// While a typed spacing or position is not yet a number (a lone "-" on the way to
// "-600") the coupled cells stay as they are.
void LensEditor::spacingChanged() {
    if (guard_) {
        return;
    }
    std::array<double, kEditorRows> moved = positions_;
    moved[0] = 0.0;
    // The last spacing would move row 15, which only add, delete and focus may move.
    for (int k = 1; k < kLastRow; ++k) {
        const NumberReading spacing = readCell(k - 1, EditorColumn::Spacing);
        if (!spacing.ok()) {
            return;
        }
        moved[k] = moved[k - 1] - spacing.value;
    }
    guard_ = true;
    positions_ = moved;
    for (int k = 0; k < kEditorRows; ++k) {
        if (grid_[k].type <= 0) {
            showText(k, EditorColumn::Position, kBlankPosition, positions_[k]);
        } else {
            showNumber(k, EditorColumn::Position, positions_[k]);
        }
    }
    guard_ = false;
}

void LensEditor::positionChanged() {
    if (guard_) {
        return;
    }
    // Every position first, then the spacings between them: the state the grid settles
    // in after the notifications one change sends.
    std::array<double, kEditorRows> read = positions_;
    int shown = 0;
    while (shown < kEditorRows && grid_[shown].type != kNoSelection) {
        const NumberReading position = readCell(shown, EditorColumn::Position);
        if (!position.ok()) {
            return;
        }
        read[shown] = position.value;
        ++shown;
    }
    guard_ = true;
    positions_ = read;
    for (int k = 0; k + 1 < shown; ++k) {
        showNumber(k, EditorColumn::Spacing, positions_[k] - positions_[k + 1]);
    }
    guard_ = false;
}

EditorVerdict LensEditor::deleteRow(int row) {
    if (guard_ || !validRow(row)) {
        return EditorVerdict::Accepted;
    }
    const EditorVerdict read = readGrid();
    if (read == EditorVerdict::UnreadableNumber) {
        return read;
    }
    guard_ = true;
    for (int k = row; k < kLastRow; ++k) {
        work_[k] = work_[k + 1];
    }
    Surface& last = work_[kLastRow];
    const auto keptIndex = last.index;
    last = Surface{};
    last.nz = 0.0;
    last.index = keptIndex;
    syncPositions();
    showAllRows();
    guard_ = false;
    return EditorVerdict::Accepted;
}

EditorVerdict LensEditor::addRowAfter(int row) {
    if (guard_ || !validRow(row) || row == kLastRow) {
        return EditorVerdict::Accepted;
    }
    const EditorVerdict read = readGrid();
    if (read == EditorVerdict::UnreadableNumber) {
        return read;
    }
    guard_ = true;
    const int place = row + 1;
    for (int k = kLastRow; k > place; --k) {
        work_[k] = work_[k - 1];
    }
    // The inserted stop sits where the row after it starts and is as wide; the last
    // place has no row after it, so it takes the row before it.
    const Surface& neighbour = place < kLastRow ? work_[place + 1] : work_[place - 1];
    Surface added;
    added.type = SurfaceType::Stop;
    added.z = neighbour.z;
    added.nz = 0.0;
    added.effectiveRadius = neighbour.effectiveRadius;
    work_[place] = added;
    syncPositions();
    showAllRows();
    guard_ = false;
    return EditorVerdict::Accepted;
}

// A material the user did not touch, on a row whose type they did not change, stays as
// it was, whether or not the catalogue holds it.
void LensEditor::readMaterial(int k, Surface& row, bool typeKept) const {
    const int selected = grid_[k].material;
    if (typeKept && selected == shown_[k].material) {
        return;
    }
    const int listed = glassCount(catalog_);
    if (row.type >= SurfaceType::FirstRefracting && selected >= listed &&
        selected < listed + foreignCount_) {
        const ForeignMaterial& m = foreign_[selected - listed];
        std::memcpy(row.material, m.name, kNameBytes);
        row.index = m.index;
        return;
    }
    applyGlass(row, catalog_, selected < 0 ? 0 : selected);
}

EditorVerdict LensEditor::readGrid() {
    SurfaceTable read = work_;
    int anchor = 0; // the last row whose position an edited spacing decided
    for (int k = 0; k < kEditorRows; ++k) {
        Surface& row = read[k];
        const bool typeKept = grid_[k].type == shown_[k].type;
        if (!typeKept) {
            row.type = typeCodeAt(grid_[k].type);
        }
        if (takesAxialNormal(row.type) && (!typeKept || hasZeroNormal(row))) {
            row.nx = 0.0;
            row.ny = 0.0;
            row.nz = 1.0;
        }
        double* const fields[] = {&row.radius, &row.a2, &row.a3, &row.a4, &row.effectiveRadius};
        for (int f = 0; f < 5; ++f) {
            const NumberReading number = readCell(k, kRowNumbers[f]);
            if (!number.ok()) {
                return refuseCell(k, kRowNumbers[f], number.problem);
            }
            *fields[f] = number.value;
        }
        if (k == kLastRow) {
            continue;
        }
        readMaterial(k, row, typeKept);
        if (k == 0) {
            row.z = 0.0;
            continue;
        }
        const NumberReading spacing = readCell(k - 1, EditorColumn::Spacing);
        if (!spacing.ok()) {
            return refuseCell(k - 1, EditorColumn::Spacing, spacing.problem);
        }
        // Untouched gaps keep the rows exactly where they were relative to the last
        // edited one, with no rounding piled up row by row.
        const double gap = work_[k - 1].z - work_[k].z;
        if (unchanged(k - 1, EditorColumn::Spacing) && spacing.value == gap) {
            row.z = read[anchor].z + (work_[k].z - work_[anchor].z);
        } else {
            row.z = read[k - 1].z - spacing.value;
            anchor = k;
        }
        // Finite spacings can still add up past the largest double.
        if (!std::isfinite(row.z)) {
            return refuseCell(k - 1, EditorColumn::Spacing, NumberProblem::OutOfRange);
        }
    }
    work_ = read;
    for (int k = 0; k < kEditorRows; ++k) {
        if (invalidDiameter(work_[k].type, work_[k].effectiveRadius)) {
            refusal_ = {k, EditorColumn::Diameter, NumberProblem::None};
            return EditorVerdict::InvalidDiameter;
        }
    }
    return EditorVerdict::Accepted;
}

SurfaceTable LensEditor::designTable() const {
    SurfaceTable table = work_;
    for (Surface& row : table) {
        row.effectiveRadius /= 2.0;
    }
    return table;
}

EditorVerdict LensEditor::focusAt(int line) {
    const EditorVerdict read = readGrid();
    if (read != EditorVerdict::Accepted) {
        return read;
    }
    SurfaceTable table = designTable();
    refocus(table, settings_, line);
    for (int k = 0; k < kEditorRows; ++k) {
        work_[k].z = table[k].z;
    }
    syncPositions();
    for (int k = 0; k < kEditorRows && work_[k].type >= 0; ++k) {
        if (k < kLastRow && work_[k + 1].type >= 0) {
            showNumber(k, EditorColumn::Spacing, work_[k].z - work_[k + 1].z);
        }
        showNumber(k, EditorColumn::Position, work_[k].z);
    }
    return EditorVerdict::Accepted;
}

EditorVerdict LensEditor::confirm(SurfaceTable& design) {
    const EditorVerdict read = readGrid();
    if (read == EditorVerdict::Accepted) {
        design = designTable();
    }
    return read;
}

} // namespace kiro
