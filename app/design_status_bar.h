#pragma once

#include <optional>

#include <QStatusBar>

#include "analysis/layout_view.h"
#include "model/lens_system.h"

class QLabel;

namespace kiro::app {

// The main window's status bar: where the pointer is over the side view (mm along and
// across the axis), the view's scale (mm a pixel), and the design's focal length and
// F-number as the information box gives them.
class DesignStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    explicit DesignStatusBar(QWidget* parent = nullptr);

    // Nothing while the pointer is outside the view.
    void showPointer(std::optional<LayoutPoint> point);
    void showScale(const LayoutView& view);
    void showOptics(const LensSystem& lens);

  private:
    QLabel* pointer_;
    QLabel* scale_;
    QLabel* optics_;
};

} // namespace kiro::app
