#include "app/document.h"

#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QUndoCommand>

#include "app/shell_text.h"

namespace kiro::app {

// One step: the whole design before and after it. A design is a few kilobytes, so keeping
// both is simpler and safer than undoing each kind of change on its own.
class DesignStep : public QUndoCommand {
  public:
    DesignStep(Document& document, const LensSystem& after, ViewFit fit, const QString& name)
        : QUndoCommand(name), document_(document), before_(document.lens()), after_(after),
          fit_(fit) {}

    void redo() override { document_.show(after_, fit_); }
    void undo() override { document_.show(before_, fit_); }

  private:
    Document& document_;
    LensSystem before_;
    LensSystem after_;
    ViewFit fit_;
};

Document::Document(QObject* parent) : QObject(parent) {
    clearLensSystem(lens_);
    setDefaultSettings(lens_);
    connect(&history_, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modifiedChanged(!clean); });
}

void Document::applyDesign(const LensSystem& lens, ViewFit fit, const QString& step) {
    push(lens, fit, step);
}

void Document::applyTable(const SurfaceTable& table, ViewFit fit, const QString& step) {
    LensSystem after = lens_;
    after.surfaces = table;
    push(after, fit, step);
}

void Document::applySettings(const Settings& settings, const QString& step) {
    LensSystem after = lens_;
    after.settings = settings;
    push(after, ViewFit::Keep, step);
}

void Document::applyDescription(const char* bytes, const QString& step) {
    LensSystem after = lens_;
    copyText(after.description, kDescriptionBytes, bytes);
    push(after, ViewFit::Keep, step);
}

void Document::newDesign(const QString& step) {
    LensSystem after = lens_;
    clearLensSystem(after);
    push(after, ViewFit::Keep, step);
    markSaved();
    setFilePath({});
}

DesignReadResult Document::open(const QString& path, const QString& step) {
    LensSystem read = lens_;
    const DesignReadResult result = readDesign(read, QFile::encodeName(path).constData());
    if (!result.accepted()) {
        return result;
    }
    proposedSaveName_ = path;
    designFolder_ = QFileInfo(path).absolutePath();
    push(read, ViewFit::Refit, step);
    markSaved();
    setFilePath(path);
    return result;
}

DesignWriteResult Document::save(const QString& path) {
    const DesignWriteResult result = writeDesign(lens_, QFile::encodeName(path).constData());
    if (result.written()) {
        designFolder_ = QFileInfo(path).absolutePath();
        markSaved();
        setFilePath(path);
    }
    return result;
}

void Document::push(const LensSystem& after, ViewFit fit, const QString& step) {
    history_.push(new DesignStep(*this, after, fit, step));
}

void Document::setFilePath(const QString& path) {
    if (path != filePath_) {
        filePath_ = path;
        emit filePathChanged(filePath_);
    }
}

void Document::show(const LensSystem& lens, ViewFit fit) {
    const bool retitled = std::strcmp(lens_.description, lens.description) != 0;
    lens_ = lens;
    if (retitled) {
        emit descriptionChanged(fromDesignBytes(lens_.description));
    }
    emit lensChanged(fit);
}

} // namespace kiro::app
