#include "app/help_commands.h"

#include <filesystem>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include "app/help_window.h"
#include "app/interface_language.h"
#include "app/message_boxes.h"
#include "model/program_files.h"

namespace kiro::app {
namespace {

// The places the guide of the interface's language was looked for, one a line.
QString placesTried() {
    QStringList places;
    const auto add = [&places](const std::string& file) {
        for (const std::filesystem::path& place : userGuidePlaces(file)) {
            places << QFile::decodeName(place.c_str());
        }
    };
    if (interfaceLanguage() == InterfaceLanguage::English) {
        add(kEnglishGuideFile);
    }
    add(kUserGuideFile);
    return places.join(u'\n');
}

} // namespace

HelpWindow* openUserGuide(QWidget* owner) {
    const std::filesystem::path guide = userGuide();
    if (!guide.empty()) {
        auto* window = owner != nullptr ? owner->findChild<HelpWindow*>() : nullptr;
        if (window == nullptr) {
            window = new HelpWindow(owner);
            window->setWindowFlag(Qt::Window);
        }
        window->showGuide(QUrl::fromLocalFile(QFile::decodeName(guide.c_str())));
        return window;
    }
    showBox(owner,
            {QStringLiteral("About VEMA !"),
             QCoreApplication::translate("HelpCommands",
                                         "ファイルを表示できませんでした。\nKIROをインス"
                                         "トールしたフォルダの\"kiro.htm\"をご覧下さい。") +
                 QStringLiteral("\n\n") +
                 QCoreApplication::translate("HelpCommands", "探した場所:") + u'\n' + placesTried(),
             QMessageBox::Information, QMessageBox::Ok});
    return nullptr;
}

void showAbout(QWidget* owner) {
    showBox(owner, {QStringLiteral("About KIRO !"),
                    QCoreApplication::translate("HelpCommands",
                                                "         KIRO Ver.1.21\n"
                                                "         望遠鏡光学系の設計と評価 (Qt 版)"),
                    QMessageBox::Information, QMessageBox::Ok});
}

} // namespace kiro::app
