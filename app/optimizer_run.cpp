#include "app/optimizer_run.h"

#include <QMetaObject>

namespace kiro::app {

OptimizerRun::OptimizerRun(const LensSystem& lens, const OptimizerSettings& settings,
                           QObject* parent)
    : QObject(parent), lens_(lens), settings_(settings) {}

OptimizerRun::~OptimizerRun() {
    cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void OptimizerRun::start(int threads) {
    if (thread_.joinable()) {
        return;
    }
    clock_.start();
    thread_ = std::thread([this, threads] {
        OptimizeOptions options;
        options.threads = threads;
        options.cancel = &cancel_;
        // Emitted on this thread, delivered queued to the run's own thread.
        options.progress = [this](const OptimizeProgress& p) {
            emit progressed(p.pass, p.passCount, p.done, p.total);
        };
        result_ = optimizeDesign(lens_, settings_, options);
        QMetaObject::invokeMethod(this, &OptimizerRun::workerDone, Qt::QueuedConnection);
    });
}

void OptimizerRun::cancel() {
    cancel_.store(true, std::memory_order_release);
}

double OptimizerRun::elapsedSeconds() const {
    return clock_.isValid() ? static_cast<double>(clock_.elapsed()) / 1000.0 : 0.0;
}

void OptimizerRun::workerDone() {
    // The join makes everything the thread wrote visible here.
    thread_.join();
    emit finished();
}

} // namespace kiro::app
