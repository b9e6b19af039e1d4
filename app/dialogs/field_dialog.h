#pragma once

#include "app/dialogs/analysis_dialog.h"
#include "presenters/field_dialog_state.h"

namespace kiro::app {

// "像面湾曲・歪曲": the tangential and sagittal foci against image height and the
// distortion: the focus-shift scroll bar 101, the line boxes 102..107, the distortion
// scale's scroll bar 108, OK (1).
class FieldDialog final : public AnalysisDialog {
    Q_OBJECT

  public:
    explicit FieldDialog(const LensSystem& lens, QWidget* parent = nullptr);

    const FieldDialogState& state() const { return state_; }
    void paintCurrent(Canvas& canvas) const override;

  private:
    FieldDialogState state_;
};

} // namespace kiro::app
