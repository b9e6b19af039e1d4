#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace kiro::app {

// Every file dialog of the program goes through chooseFile, so that tests can choose the
// files instead of leaving a modal dialog open.
enum class FileDialogKind { Open, Save };

struct FileRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;        // "LOAD" or "SAVE"
    QString proposedName; // the name offered by a Save ("*.OPT" offers none)
    QString folder;       // where the dialog starts; empty for the working directory
};

// The chosen path; empty when the dialog is cancelled.
QString chooseFile(QWidget* owner, const FileRequest& request);

// Tests: answer every file dialog with this function; an empty function shows them again.
using FileAnswerer = std::function<QString(const FileRequest&)>;
void setFileAnswerer(FileAnswerer answerer);

} // namespace kiro::app
