#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/dialogs/analysis_view.h"
#include "app/dialogs/spot_dialog.h"
#include "model/design_file.h"

namespace kiro::app {
namespace {

// The widgets need an application; without a display it runs offscreen.
void ensureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "dialog_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

LensSystem example(const char* relative) {
    LensSystem lens;
    clearLensSystem(lens);
    setDefaultSettings(lens);
    const std::string path = std::string(KIRO_SOURCE_DIR "/examples/") + relative;
    readDesignFile(lens, path.c_str());
    return lens;
}

// One paint of the spot dialog's drawing as the window system asks for it: the paint event
// through the widget's backing store, as a drag of the magnification scroll bar causes.
// The CPU column is the whole process's (the paint traces on several threads); on a busy
// machine the real time grows while the CPU time stays.
void spotDialogPaint(benchmark::State& state, const char* design) {
    ensureApplication();
    SpotDialog dialog(example(design));
    dialog.show();
    QApplication::processEvents();
    for (auto _ : state) {
        dialog.view()->repaint();
    }
}

void BM_SpotDialogPaintNewtonian(benchmark::State& state) {
    spotDialogPaint(state, "newtonian-200-f5.OPT");
}
void BM_SpotDialogPaintSchmidtCassegrain(benchmark::State& state) {
    spotDialogPaint(state, "designed/schmidt-cassegrain-200-f10.OPT");
}
void BM_SpotDialogPaintDoublet(benchmark::State& state) {
    spotDialogPaint(state, "designed/doublet-100-f9.OPT");
}

BENCHMARK(BM_SpotDialogPaintNewtonian)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SpotDialogPaintSchmidtCassegrain)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SpotDialogPaintDoublet)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
} // namespace kiro::app
