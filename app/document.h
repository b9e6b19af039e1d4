#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include "design/designer_inputs.h"
#include "design/optimizer_settings.h"
#include "model/design_file.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro::app {

// Whether a change of the design moves the side view's frame: commands that replace the
// surface table fit the view again, the others only repaint.
enum class ViewFit { Keep, Refit };

// The open document: the design and the little state the shell keeps beside it for the
// program's run. Every change of the design goes through one of the apply commands
// below, and each is one step of the history that Edit's Undo and Redo walk, named by
// step. Dialogs read from the document and apply their result only when they end with OK.
class Document : public QObject {
    Q_OBJECT

  public:
    explicit Document(QObject* parent = nullptr);

    const LensSystem& lens() const { return lens_; }
    const GlassCatalog& catalog() const { return catalog_; }

    // The whole design (table, description and settings).
    void applyDesign(const LensSystem& lens, ViewFit fit, const QString& step);
    void applyTable(const SurfaceTable& table, ViewFit fit, const QString& step);
    void applySettings(const Settings& settings, const QString& step);
    // The description as the file stores it: bytes, cut to fit.
    void applyDescription(const char* bytes, const QString& step);

    // New: the empty design; the settings stay, and there is nothing left to save.
    void newDesign(const QString& step);
    // Reads a design file in place of the design (the settings stay, the source goes back
    // to infinity) and fits the view; afterwards there is nothing to save. A refused file
    // changes nothing; an accepted one makes the path the proposed save name and its
    // folder the design's.
    DesignReadResult open(const QString& path, const QString& step);
    // Writes the design to path (whole or not at all); once written, nothing is unsaved.
    DesignWriteResult save(const QString& path);

    void setCatalog(const GlassCatalog& catalog) { catalog_ = catalog; }
    // Start-up only: the settings kept from the last run, before any step.
    void setStartSettings(const Settings& settings) { lens_.settings = settings; }

    // The file name offered by the next Save ("*" at start).
    const QString& proposedSaveName() const { return proposedSaveName_; }
    void setProposedSaveName(const QString& name) { proposedSaveName_ = name; }

    // The file the design was last read from or written to; empty for a design begun by New
    // (the window's title names it).
    const QString& filePath() const { return filePath_; }

    // The folder the file dialogs start in: the design's own, once it has one.
    const QString& designFolder() const { return designFolder_; }
    void setDesignFolder(const QString& folder) { designFolder_ = folder; }

    // The line a new automatic design is refocused at (1 = C ... 6 = h).
    int referenceLine() const { return referenceLine_; }
    void setReferenceLine(int line) { referenceLine_ = line; }

    // The designers' and the optimizer's inputs, remembered for the program's run.
    const OptimizerSettings& optimizerSettings() const { return optimizerSettings_; }
    void setOptimizerSettings(const OptimizerSettings& s) { optimizerSettings_ = s; }
    const ReflectorInputs& reflectorInputs() const { return reflectorInputs_; }
    void setReflectorInputs(const ReflectorInputs& inputs) { reflectorInputs_ = inputs; }
    const RefractorInputs& refractorInputs() const { return refractorInputs_; }
    void setRefractorInputs(const RefractorInputs& inputs) { refractorInputs_ = inputs; }

    // The steps taken; its clean state is the design last saved, opened or begun by New.
    const QUndoStack& history() const { return history_; }
    void undo() { history_.undo(); }
    void redo() { history_.redo(); }

    // Whether the design differs from the saved state by any step.
    bool isModified() const { return !history_.isClean(); }
    // The design as it stands is what its file holds: nothing to save until the next step.
    void markSaved() { history_.setClean(); }

  signals:
    // The design changed; the window fits its view first when fit is Refit, then repaints.
    void lensChanged(kiro::app::ViewFit fit);
    // The description changed (it is the window's title).
    void descriptionChanged(const QString& description);
    void modifiedChanged(bool modified);
    void filePathChanged(const QString& path);

  private:
    friend class DesignStep;
    // Puts a design in place, as a step is done or undone.
    void show(const LensSystem& lens, ViewFit fit);
    void push(const LensSystem& after, ViewFit fit, const QString& step);
    void setFilePath(const QString& path);

    LensSystem lens_{};
    GlassCatalog catalog_{};
    QString proposedSaveName_ = QStringLiteral("*");
    QString designFolder_;
    QString filePath_;
    int referenceLine_ = WavelengthLine::d;
    OptimizerSettings optimizerSettings_{};
    ReflectorInputs reflectorInputs_{};
    RefractorInputs refractorInputs_{};
    QUndoStack history_;
};

} // namespace kiro::app
