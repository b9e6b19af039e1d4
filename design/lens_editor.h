#pragma once

#include <array>
#include <string>

#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro {

// The lens data editor without its window: the grid's controls as texts and list
// selections, and the rules that tie them to a working copy of the surface table. The
// dialog copies what the user types into the grid, calls the matching operation and
// shows the grid again.

constexpr int kEditorRows = kSurfaceRows;
constexpr int kNoSelection = -1;

// The type list: list position -> stored code, in the order the lists show them.
constexpr int kTypeListSize = 12;
constexpr std::array<int32_t, kTypeListSize> kTypeListCodes{SurfaceType::End,
                                                            SurfaceType::Stop,
                                                            SurfaceType::Obstruction,
                                                            SurfaceType::FlatFocal,
                                                            SurfaceType::SphericalFocal,
                                                            SurfaceType::FlatMirror,
                                                            SurfaceType::SphericalMirror,
                                                            SurfaceType::ParaboloidMirror,
                                                            SurfaceType::AsphericMirror,
                                                            SurfaceType::FlatLens,
                                                            SurfaceType::SphericalLens,
                                                            SurfaceType::AsphericLens};

// UTF-8 names of the type list.
const char* typeListName(int position);
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

enum class EditorVerdict {
    Accepted,
    InvalidDiameter, // a row in use has a diameter of 0 (an obstruction may) or below 0
};

// "%lg" of a number, as every number of the grid is shown (the program runs with the C
// numeric locale).
std::string formatGridNumber(double value);

class LensEditor {
  public:
    // Opening: the working table is the design's table with diameters instead of half
    // diameters; the grid shows the rows up to the first one not in use.
    LensEditor(const SurfaceTable& design, const Settings& settings, const GlassCatalog& catalog);

    const EditorGrid& grid() const { return grid_; }

    // The user's changes of a control. A spacing or position edit also moves the
    // positions or spacings it is coupled with; the last row's position has no coupling.
    void setText(int row, EditorColumn column, const std::string& text);
    void setTypeSelection(int row, int position);
    void setMaterialSelection(int row, int position);

    // Buttons "del" (300 + row) and "add" (350 + row): a row taken out, or a stop
    // inserted after the row; both show the working table again. Nothing happens after a
    // focus button.
    void deleteRow(int row);
    void addRowAfter(int row);

    // Focus buttons: the grid is read and, when every diameter is valid, the first focal
    // surface moves to the mean focus at the line (1 = C .. 6 = h). From then on add,
    // delete and the coupling do nothing.
    EditorVerdict focusAt(int line);

    // OK: the grid is read; when every diameter is valid, the table the design takes.
    EditorVerdict confirm(SurfaceTable& design);

    // True once a focus button has refocused the table.
    bool locked() const { return guard_; }

  private:
    void showRow(int k);
    void showAllRows();
    bool readGrid();
    SurfaceTable designTable() const;
    void spacingChanged();
    void positionChanged();
    void syncPositions();

    SurfaceTable work_{}; // effectiveRadius holds the diameter
    std::array<double, kEditorRows> positions_{};
    EditorGrid grid_{};
    bool guard_ = false;
    Settings settings_;
    const GlassCatalog& catalog_;
};

} // namespace kiro
