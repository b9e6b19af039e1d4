#pragma once

#include <array>
#include <string>

#include "model/glass_catalog.h"
#include "model/lens_system.h"
#include "model/number_text.h"
#include "model/surface_kind.h"

namespace kiro {

// The lens data editor without its window: the grid's controls as texts and list
// selections, and the rules that tie them to a working copy of the surface table. The
// dialog copies what the user types into the grid, calls the matching operation and
// shows the grid again.

constexpr int kEditorRows = kSurfaceRows;
constexpr int kNoSelection = -1;

// The type list: "none" first, then every surface kind in the kinds' table order.
constexpr int kTypeListSize = 1 + static_cast<int>(kSurfaceKinds.size());
constexpr std::array<int32_t, kTypeListSize> kTypeListCodes = [] {
    std::array<int32_t, kTypeListSize> codes{SurfaceType::End};
    for (size_t k = 0; k < kSurfaceKinds.size(); ++k) {
        codes[k + 1] = static_cast<int32_t>(kSurfaceKinds[k].kind);
    }
    return codes;
}();

// The first entry of the type list, which ends the table.
constexpr const char* kNoTypeName = "－無し－";
constexpr const char* kNoTypeEnglishName = "- none -";

// UTF-8 names of the type list, in Japanese or in English.
const char* typeListName(int position);
const char* typeListEnglishName(int position);
// The code a list selection stands for: no selection and position 0 are -1.
int32_t typeCodeAt(int position);
// The list position of a stored code; codes outside the list show position 0.
int typePositionOf(int32_t code);

// Shown in the a2..a4 edits of rows whose type has no such coefficients.
constexpr const char* kNoCoefficient = "-";
// Shown in the position edit of a row not in use after a spacing edit.
constexpr const char* kBlankPosition = " ";

// What one grid row's controls hold. Row 15 has no material list and no spacing edit;
// its fields of those controls are ignored.
struct EditorRow {
    int type = kNoSelection;
    std::string radius, a2, a3, a4, diameter;
    int material = kNoSelection;
    std::string spacing;
    std::string position;

    bool operator==(const EditorRow&) const = default;
};

using EditorGrid = std::array<EditorRow, kEditorRows>;

// The grid's edit columns, in the order they stand in a row.
enum class EditorColumn { Radius, A2, A3, A4, Diameter, Spacing, Position };
constexpr int kEditorColumns = 7;

enum class EditorVerdict {
    Accepted,
    InvalidDiameter,  // a row in use has a diameter of 0 (an obstruction may) or below 0
    UnreadableNumber, // a cell's text is no finite number; nothing was read
};

// Where the last refused operation stopped: the row, and for an unreadable number the
// cell and why.
struct EditorRefusal {
    int row = 0;
    EditorColumn column = EditorColumn::Radius;
    NumberProblem problem = NumberProblem::None;
};

// A material of the design the catalogue does not hold. The material lists show these
// after the catalogue's names, so a row keeps its own material and indices.
struct ForeignMaterial {
    char name[kNameBytes] = {};
    std::array<double, kIndexSlots> index{};
};

// "%lg" of a number in the C locale, as every number of the grid is shown.
std::string formatGridNumber(double value);

class LensEditor {
  public:
    // Opening: the working table is the design's table with diameters instead of half
    // diameters; the grid shows the rows up to the first one not in use.
    // Typed numbers are read with marks (the desktop's decimal separators).
    LensEditor(const SurfaceTable& design, const Settings& settings, const GlassCatalog& catalog,
               DecimalMarks marks = DecimalMarks::PointOnly);

    const EditorGrid& grid() const { return grid_; }

    // The materials listed after the catalogue: list position glassCount + i is entry i.
    int foreignMaterialCount() const { return foreignCount_; }
    const ForeignMaterial& foreignMaterial(int i) const { return foreign_[i]; }

    // Why the last operation that returned a refusal refused.
    const EditorRefusal& refusal() const { return refusal_; }

    // The user's changes of a control. A spacing or position edit also moves the
    // positions or spacings it is coupled with; the last row's position has no coupling.
    void setText(int row, EditorColumn column, const std::string& text);
    void setTypeSelection(int row, int position);
    void setMaterialSelection(int row, int position);

    // Buttons "del" (300 + row) and "add" (350 + row): the grid is read into the working
    // table first (so typed entries move with their rows), then a row is taken out, or a
    // stop inserted after the row, and the working table is shown again. An unreadable
    // cell refuses the button and changes nothing.
    EditorVerdict deleteRow(int row);
    EditorVerdict addRowAfter(int row);

    // Focus buttons: the grid is read and, when every diameter is valid, the first focal
    // surface moves to the mean focus at the line (1 = C .. 6 = h).
    EditorVerdict focusAt(int line);

    // OK: the grid is read; when every number is readable and every diameter valid, the
    // table the design takes. A cell whose text the editor wrote keeps the exact value
    // behind it, so OK without edits changes nothing but the first row's place at z = 0.
    EditorVerdict confirm(SurfaceTable& design);

  private:
    // What the editor last wrote into a row's controls, and the exact values behind them.
    struct ShownNumber {
        std::string text;
        double value = 0.0;
    };
    struct ShownRow {
        int type = kNoSelection;
        int material = kNoSelection;
        std::array<ShownNumber, kEditorColumns> cells{};
    };

    void showRow(int k);
    void showAllRows();
    void showNumber(int k, EditorColumn column, double value);
    void showText(int k, EditorColumn column, const char* text, double value);
    void recordHidden();
    bool unchanged(int k, EditorColumn column) const;
    NumberReading readCell(int k, EditorColumn column) const;
    EditorVerdict refuseCell(int k, EditorColumn column, NumberProblem problem);
    EditorVerdict readGrid();
    void readMaterial(int k, Surface& row, bool typeKept) const;
    SurfaceTable designTable() const;
    void spacingChanged();
    void positionChanged();
    void syncPositions();
    void collectForeignMaterials();
    int materialPositionOf(const Surface& row) const;

    SurfaceTable work_{}; // effectiveRadius holds the diameter
    std::array<double, kEditorRows> positions_{};
    EditorGrid grid_{};
    std::array<ShownRow, kEditorRows> shown_{};
    std::array<ForeignMaterial, kEditorRows> foreign_{};
    int foreignCount_ = 0;
    EditorRefusal refusal_{};
    bool guard_ = false;
    Settings settings_;
    const GlassCatalog& catalog_;
    DecimalMarks marks_;
};

} // namespace kiro
