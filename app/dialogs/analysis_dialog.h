#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

#include "analysis/canvas.h"
#include "model/lens_system.h"

class QCheckBox;
class QHBoxLayout;
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

    // A line's check box, ticked, with a swatch of the line's colour as its legend.
    QCheckBox* makeLineCheckBox(int slot, int id);

    // A horizontal scroll bar moved by 1 a line and 10 a page, from the keyboard too.
    QScrollBar* makeScrollBar(int id, int minimum, int maximum, int value);

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
