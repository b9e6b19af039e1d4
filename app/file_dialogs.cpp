#include "app/file_dialogs.h"

#include <utility>

#include <QDir>
#include <QFileDialog>

namespace kiro::app {
namespace {

// Shown as "*.OPT"; the pattern takes x.opt too, since Linux names keep their case.
constexpr const char* kDesignFilter = "*.OPT (*.[Oo][Pp][Tt])";

FileAnswerer& answerer() {
    static FileAnswerer instance;
    return instance;
}

} // namespace

void setFileAnswerer(FileAnswerer a) {
    answerer() = std::move(a);
}

QString chooseFile(QWidget* owner, const FileRequest& request) {
    if (answerer()) {
        return answerer()(request);
    }
    QFileDialog dialog(owner, request.title, request.folder);
    dialog.setNameFilter(QString::fromLatin1(kDesignFilter));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Names in full: the detail columns of Qt's own dialog cut names and sizes short.
    dialog.setViewMode(QFileDialog::List);
    if (request.kind == FileDialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The program asks before it overwrites, after it has added the extension.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.proposedName.contains(u'*')) {
            dialog.selectFile(QDir(request.folder).filePath(request.proposedName));
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace kiro::app
