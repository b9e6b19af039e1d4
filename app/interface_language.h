#pragma once

#include <filesystem>

#include <QStringList>

namespace kiro::app {

// The program's own texts are Japanese; English is their one translation.
enum class InterfaceLanguage { Japanese, English };

// English when the first of the UI languages (as QLocale names them: "en-US", "ja", "C")
// is English; Japanese otherwise, the C and POSIX locales and an empty list included.
InterfaceLanguage interfaceLanguageFor(const QStringList& uiLanguages);

// The language of the user's desktop: the first of QLocale::system().uiLanguages(), which
// Qt reads from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
InterfaceLanguage systemInterfaceLanguage();

// Shows every text made from now on in the language: installs the translation built
// into the program for English, removes it for Japanese. False when the translation could
// not be loaded; the texts then stay Japanese.
bool useInterfaceLanguage(InterfaceLanguage language);

// The language useInterfaceLanguage set last (Japanese until then).
InterfaceLanguage interfaceLanguage();

// The user's guide in the interface's language (kiro.en.htm for English, when there is
// one), else the Japanese guide; empty when there is none.
std::filesystem::path userGuide();

} // namespace kiro::app
