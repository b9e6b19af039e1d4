#include "app/wavefront_run.h"

#include <utility>

#include <QMetaObject>

namespace kiro::app {

WavefrontRun::WavefrontRun(QObject* parent) : QObject(parent) {}

WavefrontRun::~WavefrontRun() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void WavefrontRun::request(const LensSystem& lens, const WavefrontRequest& request,
                           double starWaves) {
    Job job{lens, request, starWaves};
    if (busy()) {
        waiting_ = std::move(job);
        return;
    }
    start(std::move(job));
}

void WavefrontRun::start(Job job) {
    running_ = std::move(job);
    thread_ = std::thread([this] {
        computed_ = std::make_unique<WavefrontFigures>(computeWavefrontFigures(
            running_.lens.surfaces, running_.lens.settings, running_.request, running_.starWaves));
        QMetaObject::invokeMethod(this, &WavefrontRun::workerDone, Qt::QueuedConnection);
    });
}

void WavefrontRun::workerDone() {
    // The join makes everything the thread wrote visible here.
    thread_.join();
    shown_ = std::move(computed_);
    if (waiting_) {
        Job next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
    }
    emit finished();
}

} // namespace kiro::app
