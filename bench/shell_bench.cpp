#include <benchmark/benchmark.h>

#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include "app/document.h"
#include "app/file_commands.h"
#include "app/layout_widget.h"
#include "app/main_window.h"
#include "app/shell_text.h"
#include "model/program_files.h"

namespace {

constexpr int kPatienceMs = 10000;

QString example(const char* name) {
    return QStringLiteral(KIRO_SOURCE_DIR "/examples/") + QLatin1String(name);
}

// Runs the event loop until flag is set (or the patience ends).
void processEventsUntil(const bool& flag) {
    QElapsedTimer patience;
    patience.start();
    while (!flag && patience.elapsed() < kPatienceMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// kiro's start-up inside this process, as main() does it: the document, the catalogue,
// the window, the design named on the command line, up to the first painted window.
void BM_StartUpToFirstPaintInProcess(benchmark::State& state) {
    const QString design = example("newtonian-200-f5.OPT");
    for (auto _ : state) {
        kiro::app::Document document;
        kiro::GlassCatalog catalog;
        kiro::loadStartCatalog(catalog);
        document.setCatalog(catalog);
        kiro::app::MainWindow window(document);
        kiro::app::openCommandLine(&window, document, design);
        bool painted = false;
        QObject::connect(&window, &kiro::app::MainWindow::firstPainted,
                         [&painted] { painted = true; });
        window.show();
        processEventsUntil(painted);
        if (!painted) {
            state.SkipWithError("the window was not painted");
        }
    }
}
BENCHMARK(BM_StartUpToFirstPaintInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole program: started, painted once and quit (KIRO_STARTUP_REPORT), offscreen.
void BM_StartUpToFirstPaintProgram(benchmark::State& state) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("KIRO_STARTUP_REPORT"), QStringLiteral("1"));
    for (auto _ : state) {
        QProcess kiro;
        kiro.setProcessEnvironment(environment);
        kiro.start(QStringLiteral(KIRO_PROGRAM), {example("newtonian-200-f5.OPT")});
        if (!kiro.waitForFinished(kPatienceMs) || kiro.exitCode() != 0) {
            state.SkipWithError("kiro did not start and quit");
        }
    }
}
BENCHMARK(BM_StartUpToFirstPaintProgram)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

// One paint of the main window's view (profiles and ray fan) of the Schmidt-Cassegrain.
void BM_MainWindowPaintSchmidtCassegrain(benchmark::State& state) {
    kiro::app::Document document;
    kiro::app::MainWindow window(document);
    if (!document.open(example("designed/schmidt-cassegrain-200-f10.OPT"), {}).accepted()) {
        state.SkipWithError("cannot read the example");
        return;
    }
    bool painted = false;
    QObject::connect(&window, &kiro::app::MainWindow::firstPainted, [&painted] { painted = true; });
    window.show();
    processEventsUntil(painted);
    kiro::app::LayoutWidget* view = window.layoutWidget();
    for (auto _ : state) {
        view->repaint();
    }
}
BENCHMARK(BM_MainWindowPaintSchmidtCassegrain)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The offscreen platform's notes would break up the table of figures.
void dropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropQtNotes);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    kiro::app::useCNumbers();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
