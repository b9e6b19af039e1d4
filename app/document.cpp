#include "app/document.h"

#include <QFile>
#include <QFileInfo>

#include "app/shell_text.h"
#include "model/design_file.h"

namespace kiro::app {

Document::Document(QObject* parent) : QObject(parent) {
    clearLensSystem(lens_);
    setDefaultSettings(lens_);
}

void Document::setLens(const LensSystem& lens, ViewFit fit) {
    lens_ = lens;
    changed(fit, true);
}

void Document::setTable(const SurfaceTable& table, ViewFit fit) {
    lens_.surfaces = table;
    changed(fit, false);
}

void Document::setSettings(const Settings& settings) {
    lens_.settings = settings;
    changed(ViewFit::Keep, false);
}

void Document::setDescription(const char* bytes) {
    copyText(lens_.description, kDescriptionBytes, bytes);
    changed(ViewFit::Keep, true);
}

void Document::clear() {
    clearLensSystem(lens_);
    changed(ViewFit::Keep, true, false);
}

bool Document::open(const QString& path) {
    LensSystem read = lens_;
    if (readDesignFile(read, QFile::encodeName(path).constData()) == 0) {
        return false;
    }
    lens_ = read;
    proposedSaveName_ = path;
    designFolder_ = QFileInfo(path).absolutePath();
    changed(ViewFit::Refit, true, false);
    return true;
}

bool Document::save(const QString& path) {
    if (writeDesignFile(lens_, QFile::encodeName(path).constData()) == 0) {
        return false;
    }
    designFolder_ = QFileInfo(path).absolutePath();
    setModified(false);
    return true;
}

void Document::setModified(bool modified) {
    if (modified_ == modified) {
        return;
    }
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void Document::changed(ViewFit fit, bool descriptionMayChange, bool modifies) {
    setModified(modifies);
    if (descriptionMayChange) {
        emit descriptionChanged(fromDesignBytes(lens_.description));
    }
    emit lensChanged(fit);
}

} // namespace kiro::app
