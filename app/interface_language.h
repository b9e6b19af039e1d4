#pragma once

#include <filesystem>

#include <QStringList>

namespace kiro::app {

// The program's own texts are Japanese; English is their one translation.
enum class InterfaceLanguage { Japanese, English };

// Japanese when the first of the UI languages (as QLocale names them: "ja-JP", "en-US",
// "C") is Japanese, or the locale is C or POSIX, or the list is empty; English for every
// other language.
InterfaceLanguage interfaceLanguageFor(const QStringList& uiLanguages);

// The language of the user's desktop: the first of QLocale::system().uiLanguages(), which
// Qt reads from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
InterfaceLanguage systemInterfaceLanguage();

// Shows every text made from now on in the language: installs the translation built
// into the program for English, removes it for Japanese and installs Qt's own Japanese
// (qtbase_ja.qm) for Qt's buttons and dialogs, when Qt's translations are there. False when the
// translation could not be loaded; the texts then stay Japanese.
bool useInterfaceLanguage(InterfaceLanguage language);

// The language useInterfaceLanguage set last (Japanese until then).
InterfaceLanguage interfaceLanguage();

// The English guide's file name, looked for where the Japanese one is.
inline constexpr const char* kEnglishGuideFile = "kiro.en.htm";

// The user's guide in the interface's language (kiro.en.htm for English, when there is
// one), else the Japanese guide; empty when there is none.
std::filesystem::path userGuide();

} // namespace kiro::app
