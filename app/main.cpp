#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "app/dialogs/screen_fit.h"
#include "app/document.h"
#include "app/file_commands.h"
#include "app/interface_language.h"
#include "app/main_window.h"
#include "app/remembered_state.h"
#include "app/shell_text.h"
#include "model/program_files.h"

namespace {

// Set in the environment, kiro prints what it found at start-up (the catalogue, the
// guide, the design) once the window has been painted, and quits: the installation test
// and the start-up benchmark run it so.
constexpr const char* kStartupReportVariable = "KIRO_STARTUP_REPORT";

// Given before the design, starts from the defaults: everything kept from earlier runs
// (window places, recent files, inputs, settings) is forgotten.
constexpr const char* kDefaultsOption = "--defaults";

void reportStartup(const std::filesystem::path& catalogPath, const kiro::app::Document& document) {
    const std::filesystem::path guide = kiro::app::userGuide();
    std::printf("catalogue %d %s\n", kiro::glassCount(document.catalog()),
                catalogPath.empty() ? "-" : catalogPath.c_str());
    std::printf("language %s\n",
                kiro::app::interfaceLanguage() == kiro::app::InterfaceLanguage::English ? "en"
                                                                                        : "ja");
    std::printf("guide %s\n", guide.empty() ? "-" : guide.c_str());
    std::printf("design %d\n", kiro::surfaceCount(document.lens().surfaces));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    kiro::app::useCNumbers();
    // Before any window is made: every text is made in the desktop's language.
    kiro::app::useInterfaceLanguage(kiro::app::systemInterfaceLanguage());

    // The program's one argument is the design to open; like a command line it may be
    // quoted, and arguments split at blanks are joined again.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const bool fromDefaults =
        !arguments.isEmpty() && arguments.constFirst() == QLatin1String(kDefaultsOption);
    if (fromDefaults) {
        arguments.removeFirst();
    }
    const QString commandLine = arguments.join(QLatin1Char(' '));

    // The user's kept state, except in the start-up report's runs (tests and benchmarks),
    // which keep theirs in a store of their own that vanishes.
    const bool reportOnly = qEnvironmentVariableIsSet(kStartupReportVariable);
    if (!reportOnly) {
        kiro::app::useRememberedStateFile(kiro::app::userStateFile());
    }
    if (fromDefaults) {
        kiro::app::forgetRememberedState();
    }
    kiro::app::keepDialogGeometries();
    kiro::app::keepAnalysisChoices();
    kiro::app::fitDialogsToScreen();

    // Start-up in order: the empty design with the start settings (the document), the
    // catalogue, the window with its view fitted, then the design named on the command
    // line, fitted again.
    kiro::app::Document document;
    kiro::GlassCatalog catalog;
    const std::filesystem::path catalogPath = kiro::loadStartCatalog(catalog);
    document.setCatalog(catalog);
    kiro::app::recallDocumentState(document);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &document,
                     [&document] { kiro::app::rememberDocumentState(document); });
    kiro::app::MainWindow window(document);
    kiro::app::openCommandLine(&window, document, commandLine);
    window.show();

    if (qEnvironmentVariableIsSet(kStartupReportVariable)) {
        QObject::connect(&window, &kiro::app::MainWindow::firstPainted, &window,
                         [&catalogPath, &document] {
                             reportStartup(catalogPath, document);
                             QTimer::singleShot(0, qApp, &QCoreApplication::quit);
                         });
    }
    return QApplication::exec();
}
