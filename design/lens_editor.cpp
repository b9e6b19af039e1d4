#include "design/lens_editor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "design/design_dialog_logic.h"
#include "design/merit.h"

namespace kiro {

namespace {

constexpr const char* kTypeListNames[kTypeListSize] = {
    "－無し－", "絞り",     "中央遮蔽", "平面焦点面", "球面焦点面", "平面鏡",
    "球面鏡",   "放物面鏡", "非球面鏡", "平面レンズ", "球面レンズ", "非球面レンズ"};

constexpr int kLastRow = kEditorRows - 1;

bool validRow(int row) {
    return row >= 0 && row < kEditorRows;
}

bool hasCoefficients(int32_t type) {
    return type == SurfaceType::AsphericMirror || type == SurfaceType::AsphericLens;
}

// Plane rows the editor stores facing the axis.
bool takesAxialNormal(int32_t type) {
    return type == SurfaceType::Stop || type == SurfaceType::Obstruction ||
           type == SurfaceType::FlatFocal || type == SurfaceType::FlatMirror ||
           type == SurfaceType::FlatLens;
}

// A diameter the design cannot use: 0 where rays must pass (anything in use but an
// obstruction), below 0 anywhere, or not a number at all.
bool invalidDiameter(int32_t type, double diameter) {
    if (!std::isfinite(diameter) || diameter < 0.0) {
        return true;
    }
    const bool mayBeZero = type < SurfaceType::Stop || type == SurfaceType::Obstruction;
    return diameter == 0.0 && !mayBeZero;
}

double readGridNumber(const std::string& text) {
    return readFieldNumber(text.c_str());
}

// The material list position of a stored name: 0 for none, the last equal catalogue
// entry, or no selection for a name the catalogue does not hold.
int materialPositionOf(const GlassCatalog& catalog, const char* material) {
    if (material[0] == '\0' || material[0] == '-') {
        return 0;
    }
    const int k = findGlass(catalog, material);
    return k >= 0 ? k : kNoSelection;
}

} // namespace

const char* typeListName(int position) {
    return position >= 0 && position < kTypeListSize ? kTypeListNames[position] : "";
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
    std::snprintf(buffer, sizeof buffer, "%lg", value);
    return buffer;
}

LensEditor::LensEditor(const SurfaceTable& design, const Settings& settings,
                       const GlassCatalog& catalog)
    : settings_(settings), catalog_(catalog) {
    guard_ = true;
    work_ = design;
    for (int k = 0; k < kEditorRows; ++k) {
        work_[k].effectiveRadius *= 2.0;
        positions_[k] = work_[k].z;
    }
    for (int k = 0; k < kEditorRows && work_[k].type >= 0; ++k) {
        showRow(k);
    }
    guard_ = false;
}

void LensEditor::showRow(int k) {
    const Surface& row = work_[k];
    EditorRow& shown = grid_[k];
    shown.type = typePositionOf(row.type);
    shown.radius = formatGridNumber(row.radius);
    const bool coefficients = hasCoefficients(row.type);
    shown.a2 = coefficients ? formatGridNumber(row.a2) : kNoCoefficient;
    shown.a3 = coefficients ? formatGridNumber(row.a3) : kNoCoefficient;
    shown.a4 = coefficients ? formatGridNumber(row.a4) : kNoCoefficient;
    shown.diameter = formatGridNumber(row.effectiveRadius);
    // Material and spacing describe the gap to the next row; with no next row in use
    // they keep whatever they showed.
    if (k < kLastRow && work_[k + 1].type >= 0) {
        shown.material = materialPositionOf(catalog_, row.material);
        shown.spacing = formatGridNumber(row.z - work_[k + 1].z);
    }
    shown.position = formatGridNumber(row.z);
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

void LensEditor::setText(int row, EditorColumn column, const std::string& text) {
    if (!validRow(row)) {
        return;
    }
    EditorRow& shown = grid_[row];
    switch (column) {
    case EditorColumn::Radius:
        shown.radius = text;
        break;
    case EditorColumn::A2:
        shown.a2 = text;
        break;
    case EditorColumn::A3:
        shown.a3 = text;
        break;
    case EditorColumn::A4:
        shown.a4 = text;
        break;
    case EditorColumn::Diameter:
        shown.diameter = text;
        break;
    case EditorColumn::Spacing:
        if (row < kLastRow) {
            shown.spacing = text;
            spacingChanged();
        }
        break;
    case EditorColumn::Position:
        shown.position = text;
        if (row < kLastRow) {
            positionChanged();
        }
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
        grid_[row].material =
            position >= 0 && position < glassCount(catalog_) ? position : kNoSelection;
    }
}

void LensEditor::spacingChanged() {
    if (guard_) {
        return;
    }
    guard_ = true;
    positions_[0] = 0.0;
    // The last spacing would move row 15, which only add, delete and focus may move.
    for (int k = 1; k < kLastRow; ++k) {
        positions_[k] = positions_[k - 1] - readGridNumber(grid_[k - 1].spacing);
    }
    for (int k = 0; k < kEditorRows; ++k) {
        const bool unused = grid_[k].type <= 0;
        grid_[k].position = unused ? kBlankPosition : formatGridNumber(positions_[k]);
    }
    guard_ = false;
}

void LensEditor::positionChanged() {
    if (guard_) {
        return;
    }
    guard_ = true;
    // Every position first, then the spacings between them: the state the grid settles
    // in after the notifications one change sends.
    int shown = 0;
    while (shown < kEditorRows && grid_[shown].type != kNoSelection) {
        positions_[shown] = readGridNumber(grid_[shown].position);
        ++shown;
    }
    for (int k = 0; k + 1 < shown; ++k) {
        grid_[k].spacing = formatGridNumber(positions_[k] - positions_[k + 1]);
    }
    guard_ = false;
}

void LensEditor::deleteRow(int row) {
    if (guard_ || !validRow(row)) {
        return;
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
}

void LensEditor::addRowAfter(int row) {
    if (guard_ || !validRow(row) || row == kLastRow) {
        return;
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
}

bool LensEditor::readGrid() {
    bool valid = true;
    for (int k = 0; k < kEditorRows; ++k) {
        const EditorRow& shown = grid_[k];
        Surface& row = work_[k];
        row.type = typeCodeAt(shown.type);
        if (takesAxialNormal(row.type)) {
            row.nx = 0.0;
            row.ny = 0.0;
            row.nz = 1.0;
        }
        row.radius = readGridNumber(shown.radius);
        row.a2 = readGridNumber(shown.a2);
        row.a3 = readGridNumber(shown.a3);
        row.a4 = readGridNumber(shown.a4);
        row.effectiveRadius = readGridNumber(shown.diameter);
        if (k < kLastRow) {
            applyGlass(row, catalog_, shown.material < 0 ? 0 : shown.material);
            row.z = k == 0 ? 0.0 : work_[k - 1].z - readGridNumber(grid_[k - 1].spacing);
        }
        if (invalidDiameter(row.type, row.effectiveRadius)) {
            valid = false;
        }
    }
    return valid;
}

SurfaceTable LensEditor::designTable() const {
    SurfaceTable table = work_;
    for (Surface& row : table) {
        row.effectiveRadius /= 2.0;
    }
    return table;
}

EditorVerdict LensEditor::focusAt(int line) {
    if (!readGrid()) {
        return EditorVerdict::InvalidDiameter;
    }
    SurfaceTable table = designTable();
    refocus(table, settings_, line);
    for (int k = 0; k < kEditorRows; ++k) {
        work_[k].z = table[k].z;
    }
    for (int k = 0; k < kEditorRows && work_[k].type >= 0; ++k) {
        if (k < kLastRow && work_[k + 1].type >= 0) {
            grid_[k].spacing = formatGridNumber(work_[k].z - work_[k + 1].z);
        }
        grid_[k].position = formatGridNumber(work_[k].z);
    }
    guard_ = true;
    return EditorVerdict::Accepted;
}

EditorVerdict LensEditor::confirm(SurfaceTable& design) {
    if (!readGrid()) {
        return EditorVerdict::InvalidDiameter;
    }
    design = designTable();
    return EditorVerdict::Accepted;
}

} // namespace kiro
