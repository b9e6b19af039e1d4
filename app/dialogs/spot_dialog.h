#pragma once

#include "analysis/spot_diagram.h"
#include "app/dialogs/analysis_dialog.h"
#include "presenters/spot_dialog_state.h"

namespace kiro::app {

// "SPOT", the spot diagrams at three image heights: line boxes 101..106, the
// magnification scroll bar 107 ("倍率"), the height edits 108..110 in whole mm, OK (1).
class SpotDialog final : public AnalysisDialog {
    Q_OBJECT

  public:
    explicit SpotDialog(const LensSystem& lens, QWidget* parent = nullptr);

    const SpotDialogState& state() const { return state_; }
    void paintCurrent(Canvas& canvas) const override;

  private:
    SpotDialogState state_;
};

} // namespace kiro::app
