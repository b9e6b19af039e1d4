#pragma once

#include <QDialog>

#include "app/optimizer_run.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kiro::app {

class Document;

// The modal window shown while the optimization runs on its own thread: the pass, the
// candidates of the pass done so far and the time taken. Cancel (and closing the
// window) raises the cancel flag; the window closes when the thread has stopped.
class OptimizerProgressDialog : public QDialog {
    Q_OBJECT

  public:
    OptimizerProgressDialog(const LensSystem& lens, const OptimizerSettings& settings,
                            QWidget* parent = nullptr);

    const OptimizerRun& run() const { return run_; }

    // The window's title, also the title of the box that reports a cancelled run.
    static QString title();

    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showProgress(int pass, int passCount, qint64 done, qint64 total);
    void showElapsed();

    OptimizerRun run_;
    QLabel* pass_ = nullptr;
    QLabel* candidates_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer* clock_ = nullptr;
    bool started_ = false;
};

// After the optimizer's OK: runs the whole sequence of passes behind the progress window
// and makes the result the design in one step. A cancelled run keeps the passes it
// finished and says so. Too many radii to vary, or a change range that is not a number,
// show the error box instead. True when the design changed.
bool runOptimization(Document& document, QWidget* parent);

// Menu command 703: the settings dialog, then the run when it ends with OK.
bool runOptimizer(Document& document, QWidget* parent);

} // namespace kiro::app
