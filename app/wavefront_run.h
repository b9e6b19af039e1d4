#pragma once

#include <memory>
#include <optional>
#include <thread>

#include <QObject>

#include "analysis/wavefront_view.h"

namespace kiro::app {

// The wavefront figures computed on their own thread, on a copy of the design, so that the
// dialog goes on answering while the rays and transforms run. A request made while one
// runs waits and replaces any other waiting one; finished arrives queued on the thread
// that made the run, once per computed request.
class WavefrontRun : public QObject {
    Q_OBJECT

  public:
    explicit WavefrontRun(QObject* parent = nullptr);
    // Waits for the thread (a computation takes a fraction of a second).
    ~WavefrontRun() override;

    void request(const LensSystem& lens, const WavefrontRequest& request, double starWaves);
    bool busy() const { return thread_.joinable(); }
    // The last figures computed; null before the first.
    const WavefrontFigures* figures() const { return shown_.get(); }

  signals:
    void finished();

  private:
    struct Job {
        LensSystem lens;
        WavefrontRequest request;
        double starWaves = 0.0;
    };
    void start(Job job);
    void workerDone();

    std::thread thread_;
    Job running_;
    std::optional<Job> waiting_;
    std::unique_ptr<WavefrontFigures> computed_;
    std::unique_ptr<WavefrontFigures> shown_;
};

} // namespace kiro::app
