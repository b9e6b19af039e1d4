#pragma once

#include "app/dialogs/analysis_dialog.h"
#include "presenters/fan_dialog_state.h"

namespace kiro::app {

// "収差図": the tangential and sagittal ray fans of the three panels: the scale scroll
// bar 101, the line boxes 102..107, the image heights 108..110, OK (1).
class FanDialog final : public AnalysisDialog {
    Q_OBJECT

  public:
    explicit FanDialog(const LensSystem& lens, QWidget* parent = nullptr);

    const FanDialogState& state() const { return state_; }
    void paintCurrent(Canvas& canvas) const override;

  private:
    FanDialogState state_;
};

} // namespace kiro::app
