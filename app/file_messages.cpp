#include "app/file_messages.h"

#include <cstring>

#include <QCoreApplication>

namespace kiro::app {
namespace {

// The message, then the reason on a line of its own when there is one.
QString withReason(const QString& message, const QString& reason) {
    return reason.isEmpty() ? message : message + u'\n' + reason;
}

QString nonFiniteLine(int line) {
    return QCoreApplication::translate("FileCommands",
                                       "%1行目に無限大または数値でない数があります。")
        .arg(line);
}

QString readReason(const DesignReadResult& result) {
    switch (result.status) {
    case DesignReadStatus::CannotOpen:
        return systemErrorText(result.systemError);
    case DesignReadStatus::NotADesign:
        if (result.notADesign == NotADesignReason::BinaryContent) {
            return QCoreApplication::translate(
                "FileCommands",
                "設計データのファイルではありません（バイナリデータを含んでいます）。");
        }
        return QCoreApplication::translate(
            "FileCommands",
            "設計データのファイルではありません（設計データの形式が見つかりません）。");
    case DesignReadStatus::NonFiniteNumber:
        return nonFiniteLine(result.line);
    case DesignReadStatus::Read:
    case DesignReadStatus::ReadEndsEarly:
        break;
    }
    return {};
}

} // namespace

QString systemErrorText(int error) {
    if (error == 0) {
        return {};
    }
    // The C library's messages follow the locale QApplication adopted (LC_MESSAGES).
    return QString::fromLocal8Bit(std::strerror(error));
}

QString readFailureText(const QString& path, const DesignReadResult& result) {
    return withReason(
        QCoreApplication::translate("FileCommands", "\"%1\" を読み込めませんでした。").arg(path),
        readReason(result));
}

QString readEndsEarlyText(const QString& path, const DesignReadResult& result) {
    return QCoreApplication::translate("FileCommands",
                                       "\"%1\" は%2行目で終わっていて、設計データが途中までしか"
                                       "ありません。読み込めた所までを開きました。")
        .arg(path)
        .arg(result.line);
}

QString writeFailureText(const QString& path, const DesignWriteResult& result) {
    const QString message =
        QCoreApplication::translate("FileCommands", "\"%1\" に書き込めませんでした。").arg(path);
    if (result.status == DesignWriteStatus::NonFiniteNumber) {
        return withReason(message, QCoreApplication::translate(
                                       "FileCommands", "設計データに無限大または数値でない数が"
                                                       "あるため、保存しませんでした。"));
    }
    return withReason(message, systemErrorText(result.systemError));
}

} // namespace kiro::app
