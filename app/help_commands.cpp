#include "app/help_commands.h"

#include <filesystem>

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "app/message_boxes.h"
#include "model/program_files.h"

namespace kiro::app {

void openUserGuide(QWidget* owner) {
    const std::filesystem::path guide = findUserGuide();
    if (!guide.empty() &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(guide.c_str())))) {
        return;
    }
    showBox(owner, {QStringLiteral("About VEMA !"),
                    QStringLiteral("ファイルを表示できませんでした。\nKIROをインストールしたフォル"
                                   "ダの\"kiro.htm\"をご覧下さい。"),
                    QMessageBox::Information, QMessageBox::Ok});
}

void showAbout(QWidget* owner) {
    showBox(owner, {QStringLiteral("About KIRO !"),
                    QStringLiteral("         KIRO Ver.1.21\n"
                                   "         望遠鏡光学系の設計と評価 (Qt 版)"),
                    QMessageBox::Information, QMessageBox::Ok});
}

} // namespace kiro::app
