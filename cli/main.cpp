#include <cstdio>
#include <exception>

#include <CLI/CLI.hpp>

#include "cli/cli_common.h"

int main(int argc, char** argv) {
    CLI::App app{"kiro-cli: telescope optics computations without a window", "kiro-cli"};
    app.set_version_flag("--version", std::string("kiro-cli ") + KIRO_VERSION);
    app.require_subcommand(1);
    kiro::cli::addModelCommands(app);
    kiro::cli::addTraceCommands(app);
    kiro::cli::addAnalysisCommands(app);
    kiro::cli::addAberrationCommands(app);
    kiro::cli::addMeritCommands(app);
    kiro::cli::addDesignCommands(app);
    kiro::cli::addWavefrontCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "kiro-cli: %s\n", e.what());
        return kiro::cli::kExitUsage;
    } catch (const kiro::cli::CliFailure& failure) {
        std::fflush(stdout);
        if (failure.code == kiro::cli::kExitUsage) {
            std::fprintf(stderr, "kiro-cli: %s\n", failure.message.c_str());
        } else {
            std::fprintf(stderr, "%s\n", failure.message.c_str());
        }
        return failure.code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kiro-cli: %s\n", e.what());
        return kiro::cli::kExitUsage;
    }
    return kiro::cli::kExitOk;
}
