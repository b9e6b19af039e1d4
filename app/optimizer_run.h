#pragma once

#include <atomic>
#include <thread>

#include <QElapsedTimer>
#include <QObject>

#include "design/optimizer.h"

namespace kiro::app {

// The whole optimization on its own thread, on a copy of the design, so that the window
// goes on answering. Progress and the end arrive as queued signals on the thread that
// created the run; the copy is read only after the end.
class OptimizerRun : public QObject {
    Q_OBJECT

  public:
    OptimizerRun(const LensSystem& lens, const OptimizerSettings& settings,
                 QObject* parent = nullptr);
    // Raises the cancel flag and waits for the thread.
    ~OptimizerRun() override;

    // threads 0: one per core.
    void start(int threads = 0);
    // Stops at the next candidate; the passes already done are kept.
    void cancel();
    bool running() const { return thread_.joinable(); }
    double elapsedSeconds() const;

    // After finished: the design as the passes left it, and how they went.
    const LensSystem& lens() const { return lens_; }
    const OptimizeResult& result() const { return result_; }

  signals:
    void progressed(int pass, int passCount, qint64 done, qint64 total);
    void finished();

  private:
    void workerDone();

    LensSystem lens_;
    OptimizerSettings settings_;
    OptimizeResult result_;
    std::atomic<bool> cancel_{false};
    std::thread thread_;
    QElapsedTimer clock_;
};

} // namespace kiro::app
