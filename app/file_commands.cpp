#include "app/file_commands.h"

#include <QApplication>
#include <QFileInfo>

#include "app/document.h"
#include "app/edit_steps.h"
#include "app/file_dialogs.h"
#include "app/file_messages.h"
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

// A refused file gets the error box and leaves the design as it was; one that ends early
// is opened with a warning.
bool readInto(QWidget* owner, Document& document, const QString& path) {
    DesignReadResult result;
    {
        const WaitCursor wait;
        result = document.open(path, stepName(EditStep::Open));
    }
    if (!result.accepted()) {
        showError(owner, readFailureText(path, result));
        return false;
    }
    if (result.status == DesignReadStatus::ReadEndsEarly) {
        showWarning(owner, readEndsEarlyText(path, result));
    }
    return true;
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
    if (settleUnsavedWork(owner, document)) {
        document.newDesign(stepName(EditStep::New));
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

bool openDesignFile(QWidget* owner, Document& document, const QString& path) {
    return settleUnsavedWork(owner, document) && readInto(owner, document, path);
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
    DesignWriteResult result;
    {
        const WaitCursor wait;
        result = document.save(path);
    }
    if (!result.written()) {
        showError(owner, writeFailureText(path, result));
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
