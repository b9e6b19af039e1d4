#pragma once

#include "app/dialogs/analysis_dialog.h"
#include "presenters/wavefront_dialog.h"

class QLabel;

namespace kiro::app {

class WavefrontRun;

// "波面・MTF": the wavefront, the PSF, the MTF and the star test of the spot dialog's three
// panels, with their numbers and verdict. The figures are computed off the window's thread;
// the drawing shows the last ones computed while new ones are on their way.
class WavefrontDialog final : public AnalysisDialog {
    Q_OBJECT

  public:
    explicit WavefrontDialog(const LensSystem& lens, QWidget* parent = nullptr);
    ~WavefrontDialog() override;

    const WavefrontDialogState& state() const { return state_; }
    // The figures the drawing shows; null until the first are computed.
    const WavefrontFigures* figures() const;
    void paintCurrent(Canvas& canvas) const override;

  signals:
    // The figures of the current state have arrived and are drawn.
    void figuresShown();

  private:
    void recompute();
    void showFigures();

    WavefrontDialogState state_;
    WavefrontRun* run_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace kiro::app
