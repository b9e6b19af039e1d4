#include "app/document.h"

#include <cstring>

#include "app/shell_text.h"

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

void Document::setModified(bool modified) {
    if (modified_ == modified) {
        return;
    }
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void Document::changed(ViewFit fit, bool descriptionMayChange) {
    setModified(true);
    if (descriptionMayChange) {
        emit descriptionChanged(fromDesignBytes(lens_.description));
    }
    emit lensChanged(fit);
}

} // namespace kiro::app
