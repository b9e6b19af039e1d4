#pragma once

#include "analysis/aberration_curves.h"
#include "app/dialogs/analysis_dialog.h"
#include "presenters/curve_dialog_state.h"

namespace kiro::app {

// "ERR", the spherical-aberration curves per line and the sine-condition curve: the
// scale scroll bar 101, the line boxes 102..107, OK (1).
class CurveDialog final : public AnalysisDialog {
    Q_OBJECT

  public:
    explicit CurveDialog(const LensSystem& lens, QWidget* parent = nullptr);

    const CurveDialogState& state() const { return state_; }
    void paintCurrent(Canvas& canvas) const override;

  private:
    CurveDialogState state_;
};

} // namespace kiro::app
