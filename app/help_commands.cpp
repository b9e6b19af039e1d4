#include "app/help_commands.h"

#include <filesystem>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "app/interface_language.h"
#include "app/message_boxes.h"

namespace kiro::app {

void openUserGuide(QWidget* owner) {
    const std::filesystem::path guide = userGuide();
    if (!guide.empty() &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(guide.c_str())))) {
        return;
    }
    showBox(owner, {QStringLiteral("About VEMA !"),
                    QCoreApplication::translate("HelpCommands",
                                                "ファイルを表示できませんでした。\nKIROをインス"
                                                "トールしたフォルダの\"kiro.htm\"をご覧下さい。"),
                    QMessageBox::Information, QMessageBox::Ok});
}

void showAbout(QWidget* owner) {
    showBox(owner, {QStringLiteral("About KIRO !"),
                    QCoreApplication::translate("HelpCommands",
                                                "         KIRO Ver.1.21\n"
                                                "         望遠鏡光学系の設計と評価 (Qt 版)"),
                    QMessageBox::Information, QMessageBox::Ok});
}

} // namespace kiro::app
