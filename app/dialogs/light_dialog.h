#pragma once

#include "analysis/light_amount_curve.h"
#include "app/dialogs/analysis_dialog.h"

namespace kiro::app {

// "BRIGHT", the light amount across the image field: the floor scroll bar 101 (0..90 %),
// OK (1).
class LightDialog final : public AnalysisDialog {
    Q_OBJECT

  public:
    explicit LightDialog(const LensSystem& lens, QWidget* parent = nullptr);

    int floorPercent() const { return floor_; }
    void paintCurrent(Canvas& canvas) const override;

  private:
    int floor_ = kLightFloorMin;
};

} // namespace kiro::app
