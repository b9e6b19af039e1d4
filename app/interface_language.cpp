#include "app/interface_language.h"

#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include "model/program_files.h"

// The translation lives in the shell library, whose resources a program must ask for.
static void loadTranslationResources() {
    Q_INIT_RESOURCE(kiro_translations);
}

namespace kiro::app {

namespace {

// Compiled from translations/kiro_en.ts at build time and built into the shell.
constexpr const char* kEnglishTranslation = ":/translations/kiro_en.qm";
constexpr const char* kEnglishGuideFile = "kiro.en.htm";

struct LanguageState {
    InterfaceLanguage language = InterfaceLanguage::Japanese;
    std::unique_ptr<QTranslator> translator; // installed while English is in use
};

LanguageState& state() {
    static LanguageState instance;
    return instance;
}

} // namespace

InterfaceLanguage interfaceLanguageFor(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) {
        return InterfaceLanguage::Japanese;
    }
    return QLocale(uiLanguages.constFirst()).language() == QLocale::English
               ? InterfaceLanguage::English
               : InterfaceLanguage::Japanese;
}

InterfaceLanguage systemInterfaceLanguage() {
    return interfaceLanguageFor(QLocale::system().uiLanguages());
}

bool useInterfaceLanguage(InterfaceLanguage language) {
    LanguageState& s = state();
    if (s.translator) {
        QCoreApplication::removeTranslator(s.translator.get());
        s.translator.reset();
    }
    s.language = InterfaceLanguage::Japanese;
    if (language == InterfaceLanguage::Japanese) {
        return true;
    }
    loadTranslationResources();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QString::fromLatin1(kEnglishTranslation)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    s.translator = std::move(translator);
    s.language = language;
    return true;
}

InterfaceLanguage interfaceLanguage() {
    return state().language;
}

std::filesystem::path userGuide() {
    if (interfaceLanguage() == InterfaceLanguage::English) {
        if (std::filesystem::path guide = findUserGuide(kEnglishGuideFile); !guide.empty()) {
            return guide;
        }
    }
    return findUserGuide();
}

} // namespace kiro::app
