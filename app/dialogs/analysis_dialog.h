#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <utility>

#include <QDialog>
#include <QSize>
#include <QString>

#include "analysis/canvas.h"
#include "analysis/spot_diagram.h"
#include "model/lens_system.h"

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QMouseEvent;
class QScrollBar;

namespace kiro::app {

class AnalysisView;

// What the three analysis dialogs share: their own copy of the design (they never write
// it), the drawing of a fixed client size, the OK button ("1") and the picture export
// ("savePicture"), which saves exactly what the drawing shows.
class AnalysisDialog : public QDialog {
    Q_OBJECT

  public:
    AnalysisView* view() const { return view_; }
    const LensSystem& lens() const { return lens_; }

    // The picture as it is drawn now, for the view and for the export.
    virtual void paintCurrent(Canvas& canvas) const = 0;

  protected:
    AnalysisDialog(const LensSystem& lens, QSize viewSize, QString pictureName, QWidget* parent);

    // Redraws the view after a change of the dialog's state.
    void repaintView();

    // The picture export ("savePicture") on the left, OK ("1") on the right; call it once,
    // after the other controls.
    QHBoxLayout* makeButtonRow();

    // Which lines an analysis draws: 1 or 0 for the slots 1..6 at 0..5.
    using LinesShown = std::array<int, WavelengthLine::Last - WavelengthLine::First + 1>;

    // The group of line check boxes C..h, identifiers firstId .. firstId + 5, each ticked
    // as shown says, with a swatch of its line's colour; a click updates shown and redraws.
    QGroupBox* makeLineGroup(int firstId, LinesShown& shown);

    // The edit of image height `panel` (0..2), bound to height (mm, not negative) and
    // showing it: drawn as typed (changed is called, else the view repainted); a text that
    // is no height keeps the last one drawn, marked, and is refused with a message once the
    // user leaves the field.
    QLineEdit* makeHeightEdit(int id, int panel, double& height,
                              std::function<void()> changed = {});

    // The three height edits, identifiers firstId .. firstId + 2, each under its panel in
    // columns as wide as the panels.
    QGridLayout* makeHeightEdits(int firstId, std::array<double, kSpotPanelCount>& heights,
                                 std::function<void()> changed = {});

    // A horizontal scroll bar moved by 1 a line and 10 a page, from the keyboard too.
    QScrollBar* makeScrollBar(int id, int minimum, int maximum, int value);

    // The layout of a tall picture: the view on the left; beside it the line boxes, then
    // each control under its label, and the button row at the foot of that column.
    void placeBesideView(QGroupBox* lineGroup,
                         std::initializer_list<std::pair<QString, QWidget*>> labelledControls);

    // Releasing the left button over the dialog repaints it.
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void savePicture();

    LensSystem lens_;
    QSize viewSize_;
    QString pictureName_;
    AnalysisView* view_ = nullptr;
};

// Object name of a control: its identifier in the dialog template.
QString controlName(int id);

} // namespace kiro::app
