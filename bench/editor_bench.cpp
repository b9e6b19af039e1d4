#include <algorithm>
#include <clocale>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "app/dialogs/lens_editor_dialog.h"
#include "app/document.h"
#include "app/optimizer_run.h"
#include "tests/design/sample_designs.h"

using namespace kiro;
using namespace kiro::app;

namespace {

// The dialogs need an application; the benchmarks run offscreen.
QApplication& application() {
    static int argc = 1;
    static char name[] = "editor_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return a;
    }();
    return *app;
}

// Sixteen rows in use, every one with a glass of the shipped catalogue's size listed.
void fillSixteenRows(Document& document) {
    GlassCatalog catalog;
    loadGlassCatalog(catalog, KIRO_SOURCE_DIR "/data/glass.dat");
    document.setCatalog(catalog);
    LensSystem lens = document.lens();
    for (int k = 0; k < kSurfaceRows; ++k) {
        lens.surfaces[k] =
            samples::row(k % 2 == 0 ? SurfaceType::SphericalLens : SurfaceType::AsphericLens,
                         -5.0 * k, 100.0 + k, 25.0, samples::kNBK7, "N-BK7");
    }
    document.applyDesign(lens, ViewFit::Refit, QStringLiteral("rows"));
}

// Menu command 301 until the editor is on the screen: the dialog built from the design,
// shown and painted once.
void BM_OpenLensEditorOnSixteenRows(benchmark::State& state) {
    application();
    Document document;
    fillSixteenRows(document);
    for (auto _ : state) {
        LensEditorDialog dialog(document);
        dialog.show();
        dialog.repaint();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.isVisible());
    }
}
BENCHMARK(BM_OpenLensEditorOnSixteenRows)->Unit(benchmark::kMillisecond);

// One pass over 5^8 = 390,625 candidates on the run's thread while the window's thread
// keeps a 10 ms timer: the largest gap between its ticks beyond 10 ms is how long an
// event waits at worst; progress updates are counted per second.
void BM_WindowAnswersDuringAnOptimizationPass(benchmark::State& state) {
    application();
    constexpr int kTickMilliseconds = 10;
    const LensSystem lens = samples::doubletWithRelay();
    OptimizerSettings settings;
    settings.changeRangePercent = 1.0; // one pass
    for (auto _ : state) {
        OptimizerRun run(lens, settings);
        QEventLoop loop;
        QElapsedTimer sinceTick;
        qint64 worstGap = 0;
        int progressUpdates = 0;
        QTimer ticker;
        ticker.setInterval(kTickMilliseconds);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { worstGap = std::max(worstGap, sinceTick.restart()); });
        QObject::connect(&run, &OptimizerRun::progressed, [&] { ++progressUpdates; });
        QObject::connect(&run, &OptimizerRun::finished, &loop, &QEventLoop::quit);
        sinceTick.start();
        ticker.start();
        run.start();
        loop.exec();
        const double seconds = run.elapsedSeconds();
        state.counters["pass_s"] = seconds;
        state.counters["worst_event_wait_ms"] =
            static_cast<double>(std::max<qint64>(0, worstGap - kTickMilliseconds));
        state.counters["progress_per_s"] = progressUpdates / std::max(seconds, 1e-9);
    }
}
BENCHMARK(BM_WindowAnswersDuringAnOptimizationPass)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
