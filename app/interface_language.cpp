#include "app/interface_language.h"

#include <memory>
#include <utility>

#include <QCoreApplication>
#include <QLibraryInfo>
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

// Qt's own texts (standard buttons, file dialogs) in Japanese, from Qt's translations:
// the file qtbase_ja.qm, which QTranslator finds as "qtbase" + "_" + the locale's name.
constexpr const char* kQtTranslation = "qtbase";
constexpr const char* kQtTranslationPrefix = "_";

struct LanguageState {
    InterfaceLanguage language = InterfaceLanguage::Japanese;
    std::unique_ptr<QTranslator> translator;   // installed while English is in use
    std::unique_ptr<QTranslator> qtTranslator; // installed while Japanese is in use
};

void removeTranslator(std::unique_ptr<QTranslator>& translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
}

LanguageState& state() {
    static LanguageState instance;
    return instance;
}

} // namespace

InterfaceLanguage interfaceLanguageFor(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) {
        return InterfaceLanguage::Japanese;
    }
    const QString& first = uiLanguages.constFirst();
    if (first == QLatin1String("C") || first == QLatin1String("POSIX")) {
        return InterfaceLanguage::Japanese;
    }
    const QLocale::Language language = QLocale(first).language();
    return language == QLocale::Japanese || language == QLocale::C ? InterfaceLanguage::Japanese
                                                                   : InterfaceLanguage::English;
}

InterfaceLanguage systemInterfaceLanguage() {
    return interfaceLanguageFor(QLocale::system().uiLanguages());
}

bool useInterfaceLanguage(InterfaceLanguage language) {
    LanguageState& s = state();
    removeTranslator(s.translator);
    removeTranslator(s.qtTranslator);
    s.language = InterfaceLanguage::Japanese;
    if (language == InterfaceLanguage::Japanese) {
        // Without Qt's translations installed, Qt's own texts stay English; ours are
        // Japanese regardless.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(QLocale(QLocale::Japanese), QString::fromLatin1(kQtTranslation),
                     QString::fromLatin1(kQtTranslationPrefix),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(qt.get())) {
            s.qtTranslator = std::move(qt);
        }
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
