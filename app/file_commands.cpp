#include "app/file_commands.h"

#include <QApplication>
#include <QFileInfo>

#include "app/document.h"
#include "app/file_dialogs.h"
#include "app/file_names.h"
#include "app/message_boxes.h"

namespace kiro::app {
namespace {

// The hourglass while a file is read or written.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool readInto(QWidget* owner, Document& document, const QString& path) {
    bool read = false;
    {
        const WaitCursor wait;
        read = document.open(path);
    }
    if (!read) {
        showError(owner,
                  QCoreApplication::translate("FileCommands", "\"%1\" を読み込めませんでした。")
                      .arg(path));
    }
    return read;
}

// Any existing file, also one that cannot be read, is only replaced when the user says so.
bool mayWrite(QWidget* owner, const QString& path) {
    const QFileInfo target(path);
    if (!target.exists() && !target.isSymLink()) {
        return true;
    }
    return confirm(owner, QCoreApplication::translate(
                              "FileCommands", "\"%1\" already exist.\n Do you overwrite file ?")
                              .arg(path));
}

} // namespace

void newDesign(QWidget* owner, Document& document) {
    if (confirm(owner, QCoreApplication::translate("FileCommands",
                                                   "現在のデータが消去されますが、良いですか？"))) {
        document.clear();
    }
}

void openDesign(QWidget* owner, Document& document) {
    if (!settleUnsavedWork(owner, document)) {
        return;
    }
    const QString path = chooseFile(
        owner, {FileDialogKind::Open, QStringLiteral("LOAD"), QString(), document.designFolder()});
    if (!path.isEmpty()) {
        readInto(owner, document, path);
    }
}

bool saveDesign(QWidget* owner, Document& document, SaveKind kind) {
    document.setProposedSaveName(kind == SaveKind::Save
                                     ? nameOfferedBySave(document.proposedSaveName())
                                     : nameOfferedBySave(QStringLiteral("*")));
    const QString chosen =
        chooseFile(owner, {FileDialogKind::Save, QStringLiteral("SAVE"),
                           document.proposedSaveName(), document.designFolder()});
    if (chosen.isEmpty()) {
        return false;
    }
    const QString path = withDesignExtension(chosen);
    if (!mayWrite(owner, path)) {
        return false;
    }
    bool written = false;
    {
        const WaitCursor wait;
        written = document.save(path);
    }
    if (!written) {
        showError(owner,
                  QCoreApplication::translate("FileCommands", "\"%1\" に書き込めませんでした。")
                      .arg(path));
        return false;
    }
    document.setProposedSaveName(chosen);
    return true;
}

bool settleUnsavedWork(QWidget* owner, Document& document) {
    if (!document.isModified()) {
        return true;
    }
    const BoxRequest question{
        QStringLiteral("Caution !"),
        QCoreApplication::translate("FileCommands",
                                    "現在のデータは保存されていません。\n保存しますか？"),
        QMessageBox::Warning, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel};
    switch (showBox(owner, question)) {
    case QMessageBox::Save:
        return saveDesign(owner, document, SaveKind::Save);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void openCommandLine(QWidget* owner, Document& document, const QString& commandLine) {
    const QString path = commandLinePath(commandLine);
    if (path.isEmpty()) {
        return;
    }
    if (readInto(owner, document, path)) {
        document.setProposedSaveName(saveNameForCommandLine(path));
    }
}

} // namespace kiro::app
