#pragma once

#include <QApplication>
#include <QDialog>

namespace kiro::app {

// Watches every widget's events for the rest of the run: the filter is made once, owned by
// the application, and installed on it; later calls do nothing.
template <class Filter> void installApplicationFilterOnce() {
    static Filter* filter = nullptr;
    if (filter == nullptr) {
        filter = new Filter(qApp);
        qApp->installEventFilter(filter);
    }
}

// The watched object as one of our dialogs; null for any other object and for Qt's message
// boxes and file dialogs, which place and size themselves.
inline QDialog* ourDialog(QObject* watched) {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog == nullptr || dialog->inherits("QMessageBox") || dialog->inherits("QFileDialog")) {
        return nullptr;
    }
    return dialog;
}

} // namespace kiro::app
